#include "configfiles.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <utility_manage.h>

#include <QtCore/QSettings>

namespace {

const QString MaxEntry = QStringLiteral("Tbar_Max");
const QString MinEntry = QStringLiteral("Tbar_Min");

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

void UiprocDealKeyPress_Vorn_Desktop::updateTimerCheckTbar() { }

void UiprocDealKeyPress_Vorn_Desktop::updateTimerReadTbar() { }

void UiprocDealKeyPress_Vorn_Desktop::writeShareMemory(int keyCode, int value)
{
    Q_UNUSED(keyCode)
    Q_UNUSED(value)
}

int UiprocDealKeyPress_Vorn_Desktop::readShareMemory()
{
    return -1;
}
