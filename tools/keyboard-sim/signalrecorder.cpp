#include "signalrecorder.h"

#include "typedvariant.h"

#include <QtCore/QStringList>

SignalRecorder::SignalRecorder(Handler handler, QObject *parent)
    : QObject(parent), m_handler(std::move(handler))
{ }

void SignalRecorder::attach(QObject *sender)
{
    const QMetaObject *meta = sender->metaObject();
    for (int i = QObject::staticMetaObject.methodCount(); i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.methodType() != QMetaMethod::Signal
            || (method.attributes() & QMetaMethod::Cloned))
            continue;
        const int slotId = m_signals.size();
        m_signals.append(method);
        QMetaObject::connect(sender, i, this, QObject::staticMetaObject.methodCount() + slotId,
                             Qt::DirectConnection);
    }
}

int SignalRecorder::qt_metacall(QMetaObject::Call call, int id, void **arguments)
{
    id = QObject::qt_metacall(call, id, arguments);
    if (id < 0 || call != QMetaObject::InvokeMetaMethod)
        return id;
    if (id < m_signals.size()) {
        const QMetaMethod &signal = m_signals.at(id);
        QVariantList values;
        for (int i = 0; i < signal.parameterCount(); ++i)
            values.append(typedVariant(signal.parameterType(i), arguments[i + 1]));
        m_handler(signal, values);
    }
    return -1;
}

QString SignalRecorder::describe(const QMetaMethod &signal, const QVariantList &arguments)
{
    QStringList parts;
    for (const QVariant &value : arguments) {
        if (value.userType() == QMetaType::QString)
            parts.append(QLatin1Char('"') + value.toString() + QLatin1Char('"'));
        else
            parts.append(value.toString());
    }
    return QString::fromLatin1(signal.name()) + QLatin1Char('(') + parts.join(QStringLiteral(", "))
            + QLatin1Char(')');
}
