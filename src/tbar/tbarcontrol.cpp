#include "configfiles.h"
#include "keymapstore.h"
#include "tbarprocess.h"
#include "tbarrecord.h"
#include "tbartracker.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <uiproctake.h>
#include <utility_manage.h>

#include <QtCore/QDebug>

void UiprocDealKeyPress_Vorn_Desktop::readTbarIni()
{
    const KeyMapStore::TbarLimits limits
            = KeyMapStore(ConfigFiles::keyboardConfigPath()).tbarLimits();
    m_tbar->calibrate(limits.max, limits.min);
}

void UiprocDealKeyPress_Vorn_Desktop::setTbarTakeNum(int value)
{
    m_tbar->setTakeNum(value);
}

int UiprocDealKeyPress_Vorn_Desktop::getTbarTakeNum()
{
    return m_tbar->takeNum();
}

int UiprocDealKeyPress_Vorn_Desktop::getTbarMax()
{
    return m_tbar->max();
}

int UiprocDealKeyPress_Vorn_Desktop::getTbarMin()
{
    return m_tbar->min();
}

void UiprocDealKeyPress_Vorn_Desktop::writeLogForTbarTest(int nTyte, QString log)
{
    Utility_Manage::writeLog_testTbar(nTyte, log);
}

// Applies a large T-bar jump that waited for this timer.
void UiprocDealKeyPress_Vorn_Desktop::updateTimerCheckTbar()
{
    m_timerCheckTbar.stop();
    if (!m_tbar->checkTimeout(TbarProcess::isCurrent(), Utility_Manage::getConnectType())
        || !hostHas(HostTake))
        return;
    qDebug() << "------KEY_T_BAR-----------temp_TbarValue=" << m_tbar->takeNum();
    applyTbarPosition(m_tbar->takeNum());
    writeShareMemory(TbarRecord::TbarKeyCode, m_tbar->takeNum());
    emit sigKeyValueForTest(TbarRecord::TbarKeyCode, m_tbar->takeNum(), 0);
}

void UiprocDealKeyPress_Vorn_Desktop::updateTimerReadTbar()
{
    readShareMemory();
}
