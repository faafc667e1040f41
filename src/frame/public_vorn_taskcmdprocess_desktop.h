#ifndef PUBLIC_VORN_TASKCMDPROCESS_DESKTOP_H
#define PUBLIC_VORN_TASKCMDPROCESS_DESKTOP_H

#include <model_vornparam.h>

#include <QtCore/QMutex>

/// Hands the host's keyboard model and its mutex over to the processor objects, and
/// registers the processor as the QML type "DealKeyPress".
///
/// The host calls setKeyBoardVar() and initRegisterType_Vorn_Desktop() once, on the GUI
/// thread, before QML creates the first DealKeyPress. The host keeps ownership of the
/// model and the mutex: both must outlive every processor object, and the library never
/// deletes them.
class Public_Vorn_TaskCmdProcess_Desktop
{
public:
    /// Stores the host's keyboard model and the mutex that guards it. Each processor
    /// object copies both pointers when it is made, so call this before QML creates one;
    /// an object made earlier keeps null pointers and warns when it would need them.
    /// Either pointer may be null (the library then ignores what needs it).
    static void setKeyBoardVar(Model_VOrnParam *model, QMutex *mutex);
    /// Writes the pointers last given to setKeyBoardVar() (null before) to `*model` and
    /// `*mutex`; both out-pointers must be valid.
    static void getKeyBoardVar(Model_VOrnParam **model, QMutex **mutex);
    /// Registers UiprocDealKeyPress_Vorn_Desktop with QML as the type "DealKeyPress" of
    /// the module "vorn.UiprocDealKeyPress" 1.0. Call it once, on the GUI thread, before
    /// the QML that imports the module is loaded.
    static void initRegisterType_Vorn_Desktop();

    /// The model last handed over; null until setKeyBoardVar() is called.
    static Model_VOrnParam *m_vornModel;
    /// The mutex last handed over; null until setKeyBoardVar() is called.
    static QMutex *m_vornMutex;
};

#endif // PUBLIC_VORN_TASKCMDPROCESS_DESKTOP_H
