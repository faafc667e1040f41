#ifndef UIPROCTAKE_H
#define UIPROCTAKE_H

#include <QtCore/QObject>

// Stand-in for the host's take handling. The T-bar mode is the host's decision
// (setIsTbarMode); every alpha handed over is announced through tbarDealt.
class UiprocTake : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    bool getIsTbarMode() const;
    void dealTbar(int alpha);

    void setIsTbarMode(bool on);

signals:
    void tbarDealt(int alpha);

private:
    bool m_tbarMode = true;
};

class Public_Desktop
{
public:
    static UiprocTake *puiTake;
};

#endif // UIPROCTAKE_H
