#ifndef KEYMAPSTORE_H
#define KEYMAPSTORE_H

#include <QtCore/QMap>
#include <QtCore/QString>

// The key remap as kept in the keyboard configuration file: group "KeyMap" maps the
// decimal key value of a physical key to the key value it acts as (stored as text).
// The same file holds the OLED page groups "<key>_<page>" and the list "Modify/btnKey"
// naming the page groups that carry user content. Each call opens the file afresh and
// writes it when done; an unreadable file reads as empty.
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

    static QString pageGroup(int key, int page);

private:
    QString m_path;
};

#endif // KEYMAPSTORE_H
