#include "uiprocdealkeypress_vorn_desktop.h"

#include "public_vorn_taskcmdprocess_desktop.h"
#include "tbarprocess.h"

#include <uiprocmain_vorn_desktop.h>

#include <QtCore/QMutexLocker>

QTimer UiprocDealKeyPress_Vorn_Desktop::keyTimer;
bool UiprocDealKeyPress_Vorn_Desktop::keyFlag = true;

namespace {

const QString TbarSegmentKey = QStringLiteral("VTbar");
const int TbarPollInterval = 10;

} // namespace

UiprocDealKeyPress_Vorn_Desktop::UiprocDealKeyPress_Vorn_Desktop() : m_udiskDir(QString())
{
    Public_Vorn_TaskCmdProcess_Desktop::getKeyBoardVar(&m_model, &m_mutex);

    connect(&keyTimer, &QTimer::timeout, this, &UiprocDealKeyPress_Vorn_Desktop::updateKeyTimer);
    connect(&m_timerReadTbar, &QTimer::timeout, this,
            &UiprocDealKeyPress_Vorn_Desktop::updateTimerReadTbar);
    connect(&m_timerCheckTbar, &QTimer::timeout, this,
            &UiprocDealKeyPress_Vorn_Desktop::updateTimerCheckTbar);

    readTbarIni();
    m_alphaValue = -1;
    m_tbarTakeNum = -1;
    initVirtualKeyBoard();
    m_keyBoardVer = -1;
    m_keysBlocked = false;

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
    delete m_sharedMemory;
}

Model_VOrnParam UiprocDealKeyPress_Vorn_Desktop::getModel()
{
    return *m_model;
}

void UiprocDealKeyPress_Vorn_Desktop::setModel(Model_VOrnParam &model)
{
    QMutexLocker locker(m_mutex);
    *m_model = model;
}

void UiprocDealKeyPress_Vorn_Desktop::connectBIZ()
{
    if (BizCmdsWork *biz = uiprocmain_VORN_Desktop::biz_cmdswork)
        connect(biz, &BizCmdsWork::signalSendReceiveMessage, this,
                &UiprocDealKeyPress_Vorn_Desktop::taskCmdProcess, Qt::QueuedConnection);
    if (CoreUSB *usb = uiprocmain_VORN_Desktop::icoreUSB)
        connect(usb, &CoreUSB::sigRecvTbar, this, &UiprocDealKeyPress_Vorn_Desktop::taskCmdProcess,
                Qt::QueuedConnection);
}

void UiprocDealKeyPress_Vorn_Desktop::disconnectBIZ()
{
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
    m_lockState = state;
}

bool UiprocDealKeyPress_Vorn_Desktop::getLockState()
{
    return m_lockState;
}

void UiprocDealKeyPress_Vorn_Desktop::setKeyBoardVer(int nVer)
{
    if (nVer >= 0)
        m_keyBoardVer = nVer;
}
