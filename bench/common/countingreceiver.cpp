#include "countingreceiver.h"

#include <QtCore/QMetaMethod>

CountingReceiver::CountingReceiver(QObject *sender)
{
    const QMetaObject *meta = sender->metaObject();
    const QMetaMethod slot = metaObject()->method(metaObject()->indexOfSlot("receive()"));
    for (int i = QObject::staticMetaObject.methodCount(); i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.methodType() == QMetaMethod::Signal
            && !(method.attributes() & QMetaMethod::Cloned))
            connect(sender, method, this, slot, Qt::DirectConnection);
    }
}
