#ifndef TBARRECORD_H
#define TBARRECORD_H

#include <QtCore/QByteArray>
#include <QtCore/QString>

#include <optional>

// The record that carries a T-bar position between processes through the shared-memory
// segment: the text "%1#%2" (key code, at least three digits, zero-filled; value in
// decimal), a NUL and four filler bytes. The segment is exactly as long as the record.
namespace TbarRecord {

// The key code of the T-bar; records of other key codes carry nothing for a reader.
const int TbarKeyCode = 10;

// The longest record a writer makes: two 11-character numbers, '#', NUL and filler.
// A longer segment cannot hold a record and is ignored.
const int MaxSegmentSize = 11 + 1 + 11 + 5;

QString text(int keyCode, int value);

// The segment's bytes for a record text: the text, its NUL and the filler.
QByteArray segment(const QString &text);

// The T-bar position in a segment's content: the text up to the first NUL, whose fourth
// character is '#' and whose first three read as the T-bar key code. Key code and value
// read as 0 when they are not numbers. Nothing for any other content.
std::optional<int> tbarValue(const QByteArray &content);

} // namespace TbarRecord

#endif // TBARRECORD_H
