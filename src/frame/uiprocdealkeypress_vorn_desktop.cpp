#include "uiprocdealkeypress_vorn_desktop.h"

#include "configfiles.h"
#include "keyremapcache.h"
#include "logging.h"
#include "oledpagetable.h"
#include "public_vorn_taskcmdprocess_desktop.h"
#include "sessionrecorder.h"
#include "tbarprocess.h"
#include "tbartracker.h"

#include <uiprocmain_vorn_desktop.h>
#include <uiproctake.h>

#include <QtCore/QMutexLocker>
#include <QtCore/QSet>

QTimer UiprocDealKeyPress_Vorn_Desktop::keyTimer;
bool UiprocDealKeyPress_Vorn_Desktop::keyFlag = true;

namespace {

const QString TbarSegmentKey = QStringLiteral("VTbar");
const int TbarPollInterval = 10;

// Processors connected to a message source and not disconnected since. Only the GUI thread
// connects, disconnects and destroys processors.
QSet<const QObject *> &connectedProcessors()
{
    static QSet<const QObject *> processors;
    return processors;
}

// A host that calls connectBIZ() without the objects the library needs, or a second time,
// gets no error from Qt: each message silently never arrives, or arrives twice. Says so,
// and what to do, once per call.
void warnOfConnectMisuse(const QObject *processor, const QObject *biz, const QObject *usb)
{
    const struct
    {
        bool misused;
        const char *warning;
    } checks[] = {
            {!biz,
             "DealKeyPress: connectBIZ() without the host's business object: no keyboard "
             "message will arrive. Set uiprocmain_VORN_Desktop::biz_cmdswork before "
             "connectBIZ()."},
            {!usb,
             "DealKeyPress: connectBIZ() without the host's USB object: no T-bar message from "
             "it will arrive. Set uiprocmain_VORN_Desktop::icoreUSB before connectBIZ()."},
            {!Public_Desktop::puiTake,
             "DealKeyPress: connectBIZ() without the host's take handling: T-bar readings will "
             "be ignored. Set Public_Desktop::puiTake before connectBIZ()."},
            {(biz || usb) && connectedProcessors().contains(processor),
             "DealKeyPress: connectBIZ() a second time without disconnectBIZ(): every message "
             "is now handled once per call. Call connectBIZ() once per object (from QML's "
             "Component.onCompleted or from C++, not both); disconnectBIZ() removes them all."},
    };
    for (const auto &check : checks) {
        if (check.misused)
            qCWarning(lcKeyboard, "%s", check.warning);
    }
    if (biz || usb)
        connectedProcessors().insert(processor);
}

} // namespace

UiprocDealKeyPress_Vorn_Desktop::UiprocDealKeyPress_Vorn_Desktop()
    : m_udiskDir(QString())
    , m_tbar(std::make_unique<TbarTracker>())
    , m_oledPages(std::make_unique<OledPageCache>(ConfigFiles::keyboardConfigPath()))
    , m_keyRemap(std::make_unique<KeyRemapCache>())
{
    SessionRecorder::startIfRequested(TbarProcess::isCurrent());
    Public_Vorn_TaskCmdProcess_Desktop::getKeyBoardVar(&m_model, &m_mutex);

    connect(&keyTimer, &QTimer::timeout, this, &UiprocDealKeyPress_Vorn_Desktop::resetKeyGuard);
    connect(&m_timerReadTbar, &QTimer::timeout, this, [this] { readShareMemory(); });
    connect(&m_timerCheckTbar, &QTimer::timeout, this,
            &UiprocDealKeyPress_Vorn_Desktop::checkTbarJump);

    loadTbarCalibration();
    initVirtualKeyBoard();

    // Only the T-bar process writes the segment; every other process polls it.
    if (!TbarProcess::isCurrent()) {
        m_sharedMemory = new QSharedMemory();
        m_sharedMemory->setKey(TbarSegmentKey);
        m_timerReadTbar.start(TbarPollInterval);
    } else {
        m_sharedMemory = new QSharedMemory(TbarSegmentKey);
    }
}

UiprocDealKeyPress_Vorn_Desktop::~UiprocDealKeyPress_Vorn_Desktop()
{
    connectedProcessors().remove(this);
    if (SessionRecorder *recorder = SessionRecorder::active())
        recorder->processorDestroyed();
    delete m_sharedMemory;
}

bool UiprocDealKeyPress_Vorn_Desktop::hostHas(int parts)
{
    const int missing = parts
            & ((m_model ? 0 : HostModel) | (m_mutex ? 0 : HostMutex)
               | (Public_Desktop::puiTake ? 0 : HostTake));
    if (Q_LIKELY(!missing))
        return true;
    reportMissing(missing);
    return false;
}

void UiprocDealKeyPress_Vorn_Desktop::reportMissing(int parts)
{
    static const struct
    {
        HostPart part;
        const char *missing;
    } warnings[] = {
            {HostModel,
             "the host's keyboard model: Public_Vorn_TaskCmdProcess_Desktop::setKeyBoardVar was "
             "not called before this object was made; messages and calls that need the model "
             "are ignored"},
            {HostMutex,
             "the host's model mutex: Public_Vorn_TaskCmdProcess_Desktop::setKeyBoardVar was not "
             "called before this object was made; OLED updates and setModel are ignored"},
            {HostTake,
             "the host's take handling (Public_Desktop::puiTake); T-bar key readings are ignored"},
    };
    for (const auto &warning : warnings) {
        if (parts & warning.part & ~m_missingReported)
            qCWarning(lcKeyboard, "DealKeyPress: missing %s", warning.missing);
    }
    m_missingReported |= parts;
}

Model_VOrnParam UiprocDealKeyPress_Vorn_Desktop::getModel()
{
    if (!hostHas(HostModel))
        return Model_VOrnParam();
    return *m_model;
}

void UiprocDealKeyPress_Vorn_Desktop::setModel(Model_VOrnParam &model)
{
    if (!hostHas(HostModel | HostMutex))
        return;
    QMutexLocker locker(m_mutex);
    *m_model = model;
}

void UiprocDealKeyPress_Vorn_Desktop::connectBIZ()
{
    recordCall("connectBIZ");
    BizCmdsWork *biz = uiprocmain_VORN_Desktop::biz_cmdswork;
    CoreUSB *usb = uiprocmain_VORN_Desktop::icoreUSB;
    warnOfConnectMisuse(this, biz, usb);
    if (!Public_Desktop::puiTake)
        m_missingReported |= HostTake; // told just now
    if (biz)
        connect(biz, &BizCmdsWork::signalSendReceiveMessage, this,
                &UiprocDealKeyPress_Vorn_Desktop::taskCmdProcess, Qt::QueuedConnection);
    if (usb)
        connect(usb, &CoreUSB::sigRecvTbar, this, &UiprocDealKeyPress_Vorn_Desktop::taskCmdProcess,
                Qt::QueuedConnection);
}

void UiprocDealKeyPress_Vorn_Desktop::disconnectBIZ()
{
    recordCall("disconnectBIZ");
    connectedProcessors().remove(this);
    if (BizCmdsWork *biz = uiprocmain_VORN_Desktop::biz_cmdswork)
        disconnect(biz, &BizCmdsWork::signalSendReceiveMessage, this,
                   &UiprocDealKeyPress_Vorn_Desktop::taskCmdProcess);
    if (CoreUSB *usb = uiprocmain_VORN_Desktop::icoreUSB)
        disconnect(usb, &CoreUSB::sigRecvTbar, this,
                   &UiprocDealKeyPress_Vorn_Desktop::taskCmdProcess);
    writeVirtualKeyBoard();
}

void UiprocDealKeyPress_Vorn_Desktop::setLockState(bool state)
{
    recordCall("setLockState", state);
    m_lockState = state;
}

bool UiprocDealKeyPress_Vorn_Desktop::getLockState()
{
    recordCall("getLockState");
    return m_lockState;
}

void UiprocDealKeyPress_Vorn_Desktop::setKeyBoardVer(int nVer)
{
    recordCall("setKeyBoardVer", nVer);
    if (nVer >= 0)
        m_keyBoardVer = nVer;
}
