#include "configfiles.h"
#include "tbarprocess.h"
#include "tbarrecord.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <uiproctake.h>
#include <utility_manage.h>

#include <QtCore/QDebug>
#include <QtCore/QSettings>

namespace {

const QString MaxEntry = QStringLiteral("Tbar_Max");
const QString MinEntry = QStringLiteral("Tbar_Min");
const int AnnouncingConnectType = 1;

} // namespace

void UiprocDealKeyPress_Vorn_Desktop::readTbarIni()
{
    m_tbarMax = 1024;
    m_tbarMin = 0;
    const QSettings settings(ConfigFiles::keyboardConfigPath(), QSettings::IniFormat);
    // A limit once read stays cached, also when it later goes missing from the file.
    if (settings.contains(QStringLiteral("Tbar/Max")))
        m_tbarCalibration.insert(MaxEntry, settings.value(QStringLiteral("Tbar/Max")).toInt());
    if (settings.contains(QStringLiteral("Tbar/Min")))
        m_tbarCalibration.insert(MinEntry, settings.value(QStringLiteral("Tbar/Min")).toInt());
    m_tbarMax = m_tbarCalibration.value(MaxEntry).toInt(1024);
    m_tbarMin = m_tbarCalibration.value(MinEntry).toInt(0);
}

void UiprocDealKeyPress_Vorn_Desktop::writeLogForTbarTest(int nTyte, QString log)
{
    Utility_Manage::writeLog_testTbar(nTyte, log);
}

// Applies a large T-bar jump that waited for this timer. Outside the T-bar process only
// a keyboard of connect type 1 announces it; the position stays stored either way.
void UiprocDealKeyPress_Vorn_Desktop::updateTimerCheckTbar()
{
    if (m_tbarChanged) {
        m_tbarChanged = false;
        if (TbarProcess::isCurrent() || Utility_Manage::getConnectType() == AnnouncingConnectType) {
            qDebug() << "------KEY_T_BAR-----------temp_TbarValue=" << m_tbarTakeNum;
            UiprocTake *take = Public_Desktop::puiTake;
            if (take->getIsTbarMode())
                take->dealTbar(m_alphaValue);
            emit sig_changeAlpha(m_alphaValue, m_tbarTakeNum);
            writeShareMemory(TbarRecord::TbarKeyCode, m_tbarTakeNum);
            emit sigKeyValueForTest(TbarRecord::TbarKeyCode, m_tbarTakeNum, 0);
        }
    }
    m_timerCheckTbar.stop();
}

void UiprocDealKeyPress_Vorn_Desktop::updateTimerReadTbar()
{
    readShareMemory();
}
