#include "statedump.h"

#include "jsonlines.h"
#include "keygroups.h"
#include "oledkeyrecord.h"

#include <QtCore/QFile>

#include <cstring>

namespace {

const int RecordsSize = Model_VOrnParam::OledKeyRecordCount * Model_VOrnParam::OledKeyRecordSize;

QByteArray recordsOf(const Model_VOrnParam &model)
{
    return QByteArray(reinterpret_cast<const char *>(model.oledKeyRecords), RecordsSize);
}

// The key whose OLED a record holds: the slot's key on every page of a group.
QByteArray keyOf(int record)
{
    if (record >= OledKeyRecord::FirstKeyRecord)
        return QByteArray::number(record - OledKeyRecord::FirstKeyRecord);
    const int perGroup = OledKeyRecord::PageCount * OledKeyRecord::SlotCount;
    const int first = KeyGroups::firstKey(record / perGroup + 1);
    return first < 0 ? QByteArray("null")
                     : QByteArray::number(first + record % OledKeyRecord::SlotCount);
}

QByteArray recordLine(Model_VOrnParam &model, int index)
{
    const OledKeyRecord record(model, index);
    QByteArray lengths;
    QByteArray texts;
    for (const auto line :
         {OledKeyRecord::FirstLine, OledKeyRecord::SecondLine, OledKeyRecord::ThirdLine}) {
        const std::string_view field = record.field(line);
        QByteArray text(field.data(), int(field.size()));
        while (text.endsWith('\0'))
            text.chop(1);
        lengths += (line ? "," : "") + QByteArray::number(record.textLength(line));
        texts += (line ? "," : "") + JsonLines::bytes(text);
    }
    return "{\"record\":" + QByteArray::number(index) + ",\"key\":" + keyOf(index)
            + ",\"displayModel\":" + QByteArray::number(record.displayModel())
            + ",\"icon\":" + QByteArray::number(record.icon()) + ",\"lengths\":[" + lengths
            + "],\"texts\":[" + texts + "]}";
}

} // namespace

StateDump::StateDump(Model_VOrnParam &model) : m_model(model), m_seen(recordsOf(model)) { }

QList<QByteArray> StateDump::changedRecords()
{
    const QByteArray now = recordsOf(m_model);
    QList<QByteArray> lines;
    const int size = Model_VOrnParam::OledKeyRecordSize;
    for (int index = 0; index < Model_VOrnParam::OledKeyRecordCount; ++index) {
        if (std::memcmp(now.constData() + index * size, m_seen.constData() + index * size,
                        size_t(size)))
            lines.append(recordLine(m_model, index));
    }
    m_seen = now;
    return lines;
}

QList<QByteArray> StateDump::iniFile(const char *name, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines;
    QByteArray group = "General";
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QByteArray text = raw.trimmed();
        if (text.startsWith('[') && text.endsWith(']')) {
            group = text.mid(1, text.size() - 2);
            continue;
        }
        const int equals = text.indexOf('=');
        if (equals <= 0)
            continue;
        lines.append("{\"ini\":\"" + QByteArray(name)
                     + "\",\"group\":" + JsonLines::value(QString::fromUtf8(group)) + ",\"key\":"
                     + JsonLines::value(QString::fromUtf8(text.left(equals).trimmed()))
                     + ",\"value\":"
                     + JsonLines::value(QString::fromUtf8(text.mid(equals + 1).trimmed())) + '}');
    }
    return lines;
}
