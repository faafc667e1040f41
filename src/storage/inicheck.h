#ifndef INICHECK_H
#define INICHECK_H

#include <QtCore/QByteArray>
#include <QtCore/QVector>

// What of a file in Qt's INI format this library can read. QSettings turns a value in one
// of Qt's value forms ("@Variant(...)", "@Rect(...)", "@DateTime(...)", ...) into that type
// as it reads the file, and a garbled "@Variant(...)" can make it allocate without bound.
// The library writes texts and byte arrays ("@ByteArray(...)") only, so a key holding
// anything else is garbled, as is a line that is neither a comment, a section nor a key,
// and a section whose name is not closed, with all its keys. The check splits the file
// into lines and unescapes each value as Qt's INI reader does.
class IniCheck
{
public:
    explicit IniCheck(const QByteArray &content);

    bool isClean() const { return m_garbledLines.isEmpty(); }
    // The content without its garbled lines: every other line reads as it did.
    const QByteArray &readable() const { return m_readable; }
    // The line numbers (from 1) where garbled lines start.
    const QVector<int> &garbledLines() const { return m_garbledLines; }

private:
    QByteArray m_readable;
    QVector<int> m_garbledLines;
};

#endif // INICHECK_H
