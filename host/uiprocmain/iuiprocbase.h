#ifndef IUIPROCBASE_H
#define IUIPROCBASE_H

#include <QtCore/QObject>

// Common base of the host's UI-process modules. It has no meta-object of its own,
// so a module's meta-object names QObject as its superclass.
class IuiprocBase : public QObject
{
public:
    explicit IuiprocBase(QObject *parent = nullptr) : QObject(parent) { }

    virtual void connectBIZ() = 0;
    virtual void disconnectBIZ() = 0;
    virtual void taskCmdProcess(void *pvData) = 0;
};

#endif // IUIPROCBASE_H
