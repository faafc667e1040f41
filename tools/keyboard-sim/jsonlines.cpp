#include "jsonlines.h"

#include <QtCore/QJsonArray>
#include <QtCore/QJsonDocument>
#include <QtCore/QJsonValue>

namespace {

QByteArray jsonText(const QVariant &value)
{
    return JsonLines::value(value);
}

} // namespace

QByteArray JsonLines::value(const QVariant &value)
{
    const QByteArray array = QJsonDocument(QJsonArray{QJsonValue::fromVariant(value)})
                                     .toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

QByteArray JsonLines::bytes(const QByteArray &bytes)
{
    QByteArray text = "\"";
    for (const char c : bytes) {
        const uchar byte = uchar(c);
        if (byte == '"' || byte == '\\')
            text += '\\' + QByteArray(1, c);
        else if (byte >= 0x20 && byte < 0x7f)
            text += c;
        else
            text += "\\u00" + QByteArray::number(byte, 16).rightJustified(2, '0');
    }
    return text + '"';
}

QByteArray JsonLines::hostLine(const char *name,
                               const QList<QPair<const char *, QVariant>> &arguments)
{
    QByteArray line = "{\"host\":" + jsonText(QString::fromLatin1(name));
    for (const auto &[argument, value] : arguments)
        line += ",\"" + QByteArray(argument) + "\":" + jsonText(value);
    return line + '}';
}

QByteArray JsonLines::signalLine(const QMetaMethod &signal, const QVariantList &arguments)
{
    QByteArray line = "{\"signal\":" + jsonText(QString::fromLatin1(signal.name())) + ",\"args\":{";
    const QList<QByteArray> names = signal.parameterNames();
    for (int i = 0; i < arguments.size(); ++i) {
        if (i > 0)
            line += ',';
        line += jsonText(QString::fromLatin1(names.value(i))) + ':' + jsonText(arguments.at(i));
    }
    return line + "}}";
}

QByteArray JsonLines::callLine(const QByteArray &method, const QVariant &result)
{
    QByteArray line = "{\"call\":" + jsonText(QString::fromLatin1(method));
    if (result.isValid())
        line += ",\"return\":" + jsonText(result);
    return line + '}';
}

QByteArray JsonLines::dealTbarLine(int alpha)
{
    return hostLine("dealTbar", {{"alpha", alpha}});
}
