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
// A call of the host's stand-ins: {"host":NAME, then the arguments by name}.
QByteArray hostLine(const char *name, const QList<QPair<const char *, QVariant>> &arguments);

// A JSON value: a string, number or boolean as JSON writes it.
QByteArray value(const QVariant &value);
// Bytes as a JSON string: printable ASCII as it is, every other byte as \u00XX.
QByteArray bytes(const QByteArray &bytes);

} // namespace JsonLines

#endif // JSONLINES_H
