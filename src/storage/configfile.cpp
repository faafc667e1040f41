#include "configfile.h"

#include "configfiles.h"
#include "durablefile.h"
#include "logging.h"
#include "regularfile.h"

#include <QtCore/QFile>
#include <QtCore/QHash>
#include <QtCore/QMutex>
#include <QtCore/QStringList>

#include <fcntl.h>

namespace {

const int ListedLines = 10;

QBasicMutex mutex;
QHash<QString, QByteArray> warned; // by path: the version warned about last

QByteArray versionOf(const QByteArray &content)
{
    return QByteArray::number(qHash(content));
}

// One warning per version of a file: a file that stays as it is, or is refused for the
// same reason, is not warned about again; a file read cleanly in between is.
void warnOnce(const QString &path, const QByteArray &version, const QString &what)
{
    const QMutexLocker locker(&mutex);
    if (version.isNull()) {
        warned.remove(path);
        return;
    }
    QByteArray &last = warned[path];
    if (last == version)
        return;
    last = version;
    qCWarning(lcKeyboard).noquote() << "DealKeyPress:" << path << what;
}

QString lineList(const QVector<int> &lines)
{
    QStringList numbers;
    for (const int line : lines.mid(0, ListedLines))
        numbers << QString::number(line);
    if (lines.size() > ListedLines)
        numbers << QStringLiteral("...");
    return numbers.join(QLatin1String(", "));
}

} // namespace

ConfigFile::ConfigFile(const QString &path, Access access) : m_path(path)
{
    int folder = AT_FDCWD;
    QByteArray name = QFile::encodeName(path);
    if (access == ReadWrite) {
        // Read under the lock; without it the file is read as it is, and the commit fails.
        m_file = std::make_unique<DurableFile>(path);
        m_file->lock();
        if (m_file->folder() >= 0) {
            folder = m_file->folder();
            name = m_file->name();
        }
    }
    const RegularFile file = RegularFile::read(folder, name, ConfigFiles::SizeLimit,
                                               RegularFile::FollowLinks);
    if (!file.isRead() && file.refusal() != RegularFile::Missing) {
        m_writable = false;
        warnOnce(path, file.reason(),
                 QStringLiteral("is %1; it reads as missing and is not written over")
                         .arg(QLatin1String(file.reason())));
        return;
    }
    m_read = file.content();
    m_document = IniDocument(m_read);
    const QVector<int> unread = m_document.unreadLines();
    warnOnce(path, unread.isEmpty() ? QByteArray() : versionOf(m_read),
             QStringLiteral("has lines the library does not read: %1; they read as missing and "
                            "stay in the file")
                     .arg(lineList(unread)));
}

ConfigFile::~ConfigFile() = default;

bool ConfigFile::commit()
{
    const QByteArray content = m_document.content();
    if (content == m_read)
        return true;
    if (!m_file || !m_writable || !m_file->replace(content))
        return false;
    // The lines warned about stay: the version written needs no warning of its own.
    const QMutexLocker locker(&mutex);
    const auto last = warned.find(m_path);
    if (last != warned.end() && *last == versionOf(m_read))
        *last = versionOf(content);
    return true;
}
