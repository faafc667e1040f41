#ifndef PUBLIC_VORN_TASKCMDPROCESS_DESKTOP_H
#define PUBLIC_VORN_TASKCMDPROCESS_DESKTOP_H

#include <model_vornparam.h>

#include <QtCore/QMutex>

// Hands the host's keyboard model and its mutex over to the processor objects, and
// registers the processor as the QML type "DealKeyPress". The host keeps ownership.
class Public_Vorn_TaskCmdProcess_Desktop
{
public:
    static void setKeyBoardVar(Model_VOrnParam *model, QMutex *mutex);
    static void getKeyBoardVar(Model_VOrnParam **model, QMutex **mutex);
    static void initRegisterType_Vorn_Desktop();

    static Model_VOrnParam *m_vornModel;
    static QMutex *m_vornMutex;
};

#endif // PUBLIC_VORN_TASKCMDPROCESS_DESKTOP_H
