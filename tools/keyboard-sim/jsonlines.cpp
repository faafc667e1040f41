#include "jsonlines.h"

#include <QtCore/QJsonArray>
#include <QtCore/QJsonDocument>
#include <QtCore/QJsonValue>

namespace {

QByteArray jsonText(const QVariant &value)
{
    const QByteArray array = QJsonDocument(QJsonArray{QJsonValue::fromVariant(value)})
                                     .toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

} // namespace

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
    return "{\"host\":\"dealTbar\",\"alpha\":" + QByteArray::number(alpha) + '}';
}
