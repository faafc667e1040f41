#ifndef UTILITY_MANAGE_H
#define UTILITY_MANAGE_H

#include <QtCore/QObject>
#include <QtCore/QString>

// Stand-in for the host's utility library. The getters answer what the host decided;
// the setters marked "host side" let a test or the simulator decide it. Calls that the
// host would act on are announced through probe(), so they can be observed.
class UtilityProbe : public QObject
{
    Q_OBJECT
signals:
    void connectToneFlagSet(bool flag);
    void toneProcVerSet(const QString &version);
    void qmlDebugLogWritten(int type, int channel);
    void tbarTestLogWritten(int type, const QString &log);
};

class Utility_Manage
{
public:
    static int combineTwoByte(uchar high, uchar low);

    static int getDeviceType();
    static int getConnectType();
    static QString getToneProcVer();
    static void setToneProcVer(QString version);
    static void setConnectToneFlag(bool flag);
    static bool getDbgList(int group, int channel);
    static void writeLogToQmlDebug(int type, int channel);
    static void writeLog_testTbar(int type, QString log);

    // Host side.
    static void presetToneProcVer(const QString &version); // not announced
    static void setDeviceType(int type);
    static void setConnectType(int type);
    static void setDebugEnabled(bool enabled);
    static bool connectToneFlag();
    static UtilityProbe *probe();
    static void reset();
};

#endif // UTILITY_MANAGE_H
