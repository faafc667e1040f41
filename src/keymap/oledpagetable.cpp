#include "oledpagetable.h"

#include "configkeys.h"
#include "keymapstore.h"

#include <QtCore/QFile>
#include <QtCore/QSettings>
#include <QtCore/QStringList>

namespace {

// The key value and page of a group named exactly as KeyMapStore::pageGroup names one.
bool parsePageGroup(const QString &name, int *key, int *page)
{
    const int separator = name.indexOf(QLatin1Char('_'));
    bool keyOk = false;
    bool pageOk = false;
    *key = name.leftRef(separator).toInt(&keyOk);
    *page = name.midRef(separator + 1).toInt(&pageOk);
    return separator > 0 && keyOk && pageOk && KeyMapStore::pageGroup(*key, *page) == name;
}

} // namespace

OledPageTable OledPageTable::read(const QString &path)
{
    OledPageTable table;
    QSettings settings(path, QSettings::IniFormat);
    const QStringList groups = settings.childGroups();
    for (const QString &group : groups) {
        int key;
        int page;
        if (!parsePageGroup(group, &key, &page))
            continue;
        settings.beginGroup(group);
        if (!settings.allKeys().isEmpty()) {
            Page &content = table.m_pages[qMakePair(key, page)];
            content.displayModel = uchar(settings.value(ConfigKeys::DisplayModel, 0).toInt());
            content.icon = uchar(settings.value(ConfigKeys::IconIndex, 0).toInt());
            content.firstText
                    = settings.value(ConfigKeys::FirstText, QString()).toString().toUtf8();
            content.secondText
                    = settings.value(ConfigKeys::SecondText, QString()).toString().toUtf8();
        }
        settings.endGroup();
    }
    return table;
}

const OledPageTable::Page *OledPageTable::find(int key, int target, int page) const
{
    const auto entry = m_pages.constFind(qMakePair(key, target == key ? page : 0));
    return entry != m_pages.constEnd() ? &entry.value() : nullptr;
}

OledPageCache::OledPageCache(const QString &path)
    : m_path(path), m_encodedPath(QFile::encodeName(path))
{ }

const OledPageTable &OledPageCache::table()
{
    const FileIdentity identity = FileIdentity::of(m_encodedPath);
    const quint64 writeCount = KeyMapStore::writeCount();
    if (!m_read || identity != m_identity || writeCount != m_writeCount) {
        m_table = OledPageTable::read(m_path);
        m_identity = identity;
        m_writeCount = writeCount;
        m_read = true;
    }
    return m_table;
}
