#ifndef KEYMAPSTORE_H
#define KEYMAPSTORE_H

#include <QtCore/QMap>
#include <QtCore/QString>

#include <optional>

// The keyboard configuration file: group "KeyMap" maps the decimal key value of a
// physical key to the key value it acts as (stored as text); page groups "<key>_<page>"
// hold the user's OLED pages, listed in "Modify/btnKey"; "Tbar" holds the T-bar limits.
// Each call reads the file afresh through ConfigFile and writes it when done; what of the
// file the library does not read reads as missing and stays in the file, and a failed
// write leaves a warning and the earlier file.
class KeyMapStore
{
public:
    explicit KeyMapStore(const QString &path);

    QMap<int, int> load() const;
    // Writes every entry; entries only in the file stay there.
    void save(const QMap<int, int> &keyMap) const;
    // Empties the page groups 0..4 of a key; "Modify/btnKey" is left as it is.
    void clearPageGroups(int key) const;
    // Drops the key's "KeyMap" entry, empties its page groups and takes the first
    // occurrence of each of their names out of "Modify/btnKey".
    void resetKey(int key) const;
    // Removes everything the file holds.
    void clear() const;

    struct TbarLimits
    {
        std::optional<int> max; // "Tbar/Max" when present, 0 when not a number
        std::optional<int> min;
    };
    TbarLimits tbarLimits() const;

    static QString pageGroup(int key, int page);
    // The key and page of a group named exactly as pageGroup() names one.
    static bool parsePageGroup(QStringView name, int *key, int *page);
    // The number a text spells exactly as QString::number() writes it; nothing otherwise.
    static std::optional<int> ownNumber(QStringView text);

private:
    QString m_path;
};

#endif // KEYMAPSTORE_H
