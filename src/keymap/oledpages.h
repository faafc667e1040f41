#ifndef OLEDPAGES_H
#define OLEDPAGES_H

#include <QtCore/QByteArray>
#include <QtCore/QSettings>
#include <QtCore/QString>

// The user's OLED pages of keys in the keyboard configuration file: groups
// "<key>_<page>" holding "displayModel", "oledIconIndex", "oled1stText" and
// "oled2ndText". The file is opened once, when the object is made, and let go with it.
class OledPages
{
public:
    struct Page
    {
        uchar displayModel = 0; // low 8 bits of the stored number
        uchar icon = 0;
        QByteArray firstText; // UTF-8
        QByteArray secondText;
    };

    explicit OledPages(const QString &path);

    // The group that holds page `page` of a key acting as `target`: the key's own page
    // when it acts as itself, else its page 0 for every page.
    static QString groupName(int key, int target, int page);

    // Reads a group; false when it holds no keys. Missing values read as 0 and "".
    bool read(const QString &group, Page *page);

private:
    QSettings m_settings;
    QString m_lastGroup; // the five pages of a remapped key read one group
    bool m_lastFound = false;
    Page m_lastPage;
};

#endif // OLEDPAGES_H
