#include "utility_manage.h"

namespace {

struct HostState
{
    int deviceType = 0;
    int connectType = 1;
    bool debugEnabled = false;
    bool connectToneFlag = false;
    QString toneProcVer;
};

HostState &state()
{
    static HostState s;
    return s;
}

} // namespace

int Utility_Manage::combineTwoByte(uchar high, uchar low)
{
    return high * 256 + low;
}

int Utility_Manage::getDeviceType()
{
    return state().deviceType;
}

int Utility_Manage::getConnectType()
{
    return state().connectType;
}

QString Utility_Manage::getToneProcVer()
{
    return state().toneProcVer;
}

void Utility_Manage::setToneProcVer(QString version)
{
    state().toneProcVer = version;
    emit probe()->toneProcVerSet(version);
}

void Utility_Manage::setConnectToneFlag(bool flag)
{
    state().connectToneFlag = flag;
    emit probe()->connectToneFlagSet(flag);
}

bool Utility_Manage::getDbgList(int group, int channel)
{
    return group == 1 && channel == 2 && state().debugEnabled;
}

void Utility_Manage::writeLogToQmlDebug(int type, int channel)
{
    emit probe()->qmlDebugLogWritten(type, channel);
}

void Utility_Manage::writeLog_testTbar(int type, QString log)
{
    emit probe()->tbarTestLogWritten(type, log);
}

void Utility_Manage::presetToneProcVer(const QString &version)
{
    state().toneProcVer = version;
}

void Utility_Manage::setDeviceType(int type)
{
    state().deviceType = type;
}

void Utility_Manage::setConnectType(int type)
{
    state().connectType = type;
}

void Utility_Manage::setDebugEnabled(bool enabled)
{
    state().debugEnabled = enabled;
}

bool Utility_Manage::connectToneFlag()
{
    return state().connectToneFlag;
}

UtilityProbe *Utility_Manage::probe()
{
    static UtilityProbe p;
    return &p;
}

void Utility_Manage::reset()
{
    state() = HostState();
}
