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
    if (group != m_lastGroup) {
        const QVariant displayModel = m_settings.value(group + DisplayModelKey);
        const QVariant icon = m_settings.value(group + IconKey);
        const QVariant firstText = m_settings.value(group + FirstTextKey);
        const QVariant secondText = m_settings.value(group + SecondTextKey);
        // A group holding none of these may still hold other keys, and then counts.
        m_lastFound = displayModel.isValid() || icon.isValid() || firstText.isValid()
                || secondText.isValid();
        if (!m_lastFound) {
            m_settings.beginGroup(group);
            m_lastFound = !m_settings.allKeys().isEmpty();
            m_settings.endGroup();
        }
        m_lastPage.displayModel = uchar(displayModel.toInt());
        m_lastPage.icon = uchar(icon.toInt());
        m_lastPage.firstText = firstText.toString().toUtf8();
        m_lastPage.secondText = secondText.toString().toUtf8();
        m_lastGroup = group;
    }
    if (m_lastFound)
        *page = m_lastPage;
    return m_lastFound;
}
