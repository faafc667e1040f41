#ifndef JSONLINES_H
#define JSONLINES_H

#include <QtCore/QByteArray>
#include <QtCore/QMetaMethod>
#include <QtCore/QVariant>

// The simulator's output lines: one compact JSON object each, keys in a fixed order.
namespace JsonLines {

QByteArray signalLine(const QMetaMethod &signal, const QVariantList &arguments);
QByteArray callLine(const QByteArray &method, const QVariant &result); // invalid result: void
QByteArray dealTbarLine(int alpha);

} // namespace JsonLines

#endif // JSONLINES_H
