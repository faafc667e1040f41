#ifndef UIPROCMAIN_VORN_DESKTOP_H
#define UIPROCMAIN_VORN_DESKTOP_H

#include <QtCore/QObject>
#include <QtCore/QString>

// The host's business object: hands out every keyboard message it receives.
// The pointer stays valid until queued receivers have run.
class BizCmdsWork : public QObject
{
    Q_OBJECT
signals:
    void signalSendReceiveMessage(void *pvData);
};

// The host's USB object: hands out T-bar messages the same way.
class CoreUSB : public QObject
{
    Q_OBJECT
signals:
    void sigRecvTbar(void *pvData);
};

// Stand-in for the host's main UI-process library. The host owns both objects and
// sets the pointers; setBootArgv1 records the start-up argument the host was given.
class uiprocmain_VORN_Desktop
{
public:
    static BizCmdsWork *biz_cmdswork;
    static CoreUSB *icoreUSB;

    static QString getBootArgv1();
    static void setBootArgv1(const QString &argument);
};

#endif // UIPROCMAIN_VORN_DESKTOP_H
