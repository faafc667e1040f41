#ifndef SIGNALRECORDER_H
#define SIGNALRECORDER_H

#include <QtCore/QMetaMethod>
#include <QtCore/QObject>
#include <QtCore/QVariantList>
#include <QtCore/QVector>

#include <functional>

// Receives every signal an object's class declares, in emission order, with the
// arguments as variants. Overloads that default arguments produce are not connected
// separately: one emission is reported once, with all its arguments.
class SignalRecorder : public QObject
{
public:
    using Handler = std::function<void(const QMetaMethod &signal, const QVariantList &arguments)>;

    explicit SignalRecorder(Handler handler, QObject *parent = nullptr);

    void attach(QObject *sender);

    int qt_metacall(QMetaObject::Call call, int id, void **arguments) override;

    // "name(arg, arg)" with strings quoted, for readable expectations.
    static QString describe(const QMetaMethod &signal, const QVariantList &arguments);

private:
    Handler m_handler;
    QVector<QMetaMethod> m_signals; // by receiving slot id
};

#endif // SIGNALRECORDER_H
