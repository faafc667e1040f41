#include "configsettings.h"

#include "configfiles.h"
#include "fileidentity.h"
#include "inicheck.h"
#include "logging.h"
#include "regularfile.h"

#include <QtCore/QHash>
#include <QtCore/QStringList>
#include <QtCore/QTemporaryFile>

#include <fcntl.h>

namespace {

// One warning per generation of a file: each operation opens the file afresh.
void warnOnce(const QString &path, const QString &what)
{
    static QHash<QString, FileIdentity> warned;
    const FileIdentity identity = FileIdentity::of(QFile::encodeName(path));
    const auto found = warned.constFind(path);
    if (found != warned.constEnd() && *found == identity)
        return;
    warned.insert(path, identity);
    qCWarning(lcKeyboard).noquote() << "DealKeyPress:" << path << what;
}

// What of a file that does not pass reads as missing, in words.
QString missingPart(const RegularFile &file, const IniCheck &check)
{
    if (!file.isRead())
        return QStringLiteral("is %1; it reads as missing").arg(QLatin1String(file.reason()));
    QStringList lines;
    for (const int line : check.garbledLines().mid(0, 10))
        lines << QString::number(line);
    if (check.garbledLines().size() > 10)
        lines << QStringLiteral("...");
    return QStringLiteral("has unreadable lines: %1; they read as missing")
            .arg(lines.join(QLatin1String(", ")));
}

} // namespace

CheckedConfigFile::CheckedConfigFile(const QString &path) : m_path(path)
{
    const RegularFile file = RegularFile::read(AT_FDCWD, QFile::encodeName(path),
                                               ConfigFiles::SizeLimit, RegularFile::FollowLinks);
    if (file.refusal() == RegularFile::Missing)
        return;
    const IniCheck check(file.content());
    if (file.isRead() && check.isClean())
        return;
    warnOnce(path, missingPart(file, check));
    // A copy that could not be written whole never replaces the file.
    m_copy = std::make_unique<QTemporaryFile>();
    m_canReplace = file.isRead() && m_copy->open()
            && m_copy->write(check.readable()) == check.readable().size() && m_copy->flush();
    m_copy->close();
}

CheckedConfigFile::~CheckedConfigFile() = default;

QString CheckedConfigFile::settingsPath() const
{
    return m_copy ? m_copy->fileName() : m_path;
}

ConfigSettings::ConfigSettings(const QString &path)
    : CheckedConfigFile(path), QSettings(settingsPath(), QSettings::IniFormat)
{ }

bool ConfigSettings::commit()
{
    sync();
    bool written = status() == QSettings::NoError;
    if (written && m_copy) {
        const RegularFile copy = RegularFile::read(AT_FDCWD, QFile::encodeName(m_copy->fileName()),
                                                   ConfigFiles::SizeLimit, RegularFile::FollowLinks);
        written = m_canReplace && copy.isRead() && RegularFile::replace(m_path, copy.content());
    }
    if (!written) {
        qCWarning(lcKeyboard).noquote() << "DealKeyPress: cannot write" << m_path
                             << "- the file keeps its earlier content";
    }
    return written;
}
