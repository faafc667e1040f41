#ifndef STATEDUMP_H
#define STATEDUMP_H

#include <model_vornparam.h>

#include <QtCore/QByteArray>
#include <QtCore/QList>
#include <QtCore/QString>

// What a dump line shows, as JSON lines: the OLED key records of the host's model that
// changed since the last dump, and the groups and keys of a configuration file.
class StateDump
{
public:
    // Remembers the records as they are now.
    explicit StateDump(Model_VOrnParam &model);

    // One line per record changed since the last call, in record order: record index,
    // key value (null for group 4), display model, icon, the three length bytes and the
    // three text fields without their trailing NUL bytes.
    QList<QByteArray> changedRecords();

    // One line per key of the file, in file order, with its group and its value as the
    // file holds it.
    static QList<QByteArray> iniFile(const char *name, const QString &path);

private:
    Model_VOrnParam &m_model;
    QByteArray m_seen;
};

#endif // STATEDUMP_H
