#include "oledpages.h"

#include "keymapstore.h"

#include <QtCore/QStringList>

namespace {

const QString DisplayModelKey = QStringLiteral("/displayModel");
const QString IconKey = QStringLiteral("/oledIconIndex");
const QString FirstTextKey = QStringLiteral("/oled1stText");
const QString SecondTextKey = QStringLiteral("/oled2ndText");

} // namespace

OledPages::OledPages(const QString &path) : m_settings(path, QSettings::IniFormat) { }

QString OledPages::groupName(int key, int target, int page)
{
    return KeyMapStore::pageGroup(key, target == key ? page : 0);
}

bool OledPages::read(const QString &group, Page *page)
{
    if (!m_groupsListed) {
        // A group is listed exactly when it holds at least one key.
        const QStringList groups = m_settings.childGroups();
        m_groups = QSet<QString>(groups.cbegin(), groups.cend());
        m_groupsListed = true;
    }
    if (!m_groups.contains(group))
        return false;
    if (group != m_lastGroup) {
        m_lastPage.displayModel = uchar(m_settings.value(group + DisplayModelKey, 0).toInt());
        m_lastPage.icon = uchar(m_settings.value(group + IconKey, 0).toInt());
        m_lastPage.firstText
                = m_settings.value(group + FirstTextKey, QString()).toString().toUtf8();
        m_lastPage.secondText
                = m_settings.value(group + SecondTextKey, QString()).toString().toUtf8();
        m_lastGroup = group;
    }
    *page = m_lastPage;
    return true;
}
