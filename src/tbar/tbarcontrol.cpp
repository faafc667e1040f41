#include "configfiles.h"
#include "keymapstore.h"
#include "logging.h"
#include "sessionrecorder.h"
#include "tbarprocess.h"
#include "tbarrecord.h"
#include "tbartracker.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <uiproctake.h>
#include <utility_manage.h>


void UiprocDealKeyPress_Vorn_Desktop::readTbarIni()
{
    recordCall("readTbarIni");
    loadTbarCalibration();
}

void UiprocDealKeyPress_Vorn_Desktop::loadTbarCalibration()
{
    const KeyMapStore::TbarLimits limits
            = KeyMapStore(ConfigFiles::keyboardConfigPath()).tbarLimits();
    m_tbar->calibrate(limits.max, limits.min);
}

void UiprocDealKeyPress_Vorn_Desktop::setTbarTakeNum(int value)
{
    recordCall("setTbarTakeNum", value);
    m_tbar->setTakeNum(value);
}

int UiprocDealKeyPress_Vorn_Desktop::getTbarTakeNum()
{
    recordCall("getTbarTakeNum");
    return m_tbar->takeNum();
}

int UiprocDealKeyPress_Vorn_Desktop::getTbarMax()
{
    recordCall("getTbarMax");
    return m_tbar->max();
}

int UiprocDealKeyPress_Vorn_Desktop::getTbarMin()
{
    recordCall("getTbarMin");
    return m_tbar->min();
}

void UiprocDealKeyPress_Vorn_Desktop::writeLogForTbarTest(int nTyte, QString log)
{
    recordCall("writeLogForTbarTest", nTyte, log);
    Utility_Manage::writeLog_testTbar(nTyte, log);
}

void UiprocDealKeyPress_Vorn_Desktop::updateTimerCheckTbar()
{
    recordCall("updateTimerCheckTbar");
    checkTbarJump();
}

// Applies a large T-bar jump that waited for the check timer.
void UiprocDealKeyPress_Vorn_Desktop::checkTbarJump()
{
    m_timerCheckTbar.stop();
    if (!m_tbar->checkTimeout(TbarProcess::isCurrent(), Utility_Manage::getConnectType())
        || !hostHas(HostTake))
        return;
    qCDebug(lcKeyboard) << "------KEY_T_BAR-----------temp_TbarValue=" << m_tbar->takeNum();
    applyTbarPosition();
    writeShareMemory(TbarRecord::TbarKeyCode, m_tbar->takeNum());
    emit sigKeyValueForTest(TbarRecord::TbarKeyCode, m_tbar->takeNum(), 0);
}

void UiprocDealKeyPress_Vorn_Desktop::updateTimerReadTbar()
{
    recordCall("updateTimerReadTbar");
    readShareMemory();
}
