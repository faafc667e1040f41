#include "fuzzsteps.h"

#include "uiprocdealkeypress_vorn_desktop.h"

const QVector<QMetaMethod> &FuzzSteps::callableMethods()
{
    static const QVector<QMetaMethod> methods = [] {
        const QByteArrayList excluded{"scanUdisk", "exportProfile", "importProfile",
                                      "taskCmdProcess"};
        QVector<QMetaMethod> list;
        const QMetaObject &meta = UiprocDealKeyPress_Vorn_Desktop::staticMetaObject;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            if (meta.method(i).methodType() != QMetaMethod::Signal
                && !excluded.contains(meta.method(i).name()))
                list << meta.method(i);
        }
        return list;
    }();
    return methods;
}
