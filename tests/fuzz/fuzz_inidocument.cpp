#include "fuzztarget.h"
#include "inidocument.h"

#include <QtCore/QDir>
#include <QtCore/QSettings>

#include <cstdio>
#include <cstdlib>
#include <new>

// The library's own INI parse and edits against QSettings of the same Qt. The input holds
// a file's bytes as a chunk, then edits: the first byte counts those that make a file
// through QSettings, the rest edit that file through both.
// - Every key the library reads, QSettings reads alike (a text or a byte array), and every
//   text or byte array QSettings reads, the library reads too, but a text starting with '@'
//   (QSettings takes an unknown value form for a text; the library leaves it unread).
//   Where QSettings fails deserialising a value, the library must have left a line unread.
// - The library's edits of a file QSettings wrote give QSettings' bytes.
extern "C" const char *__asan_default_options()
{
    return "allocator_may_return_null=1";
}

namespace {

// What keys and texts are made of: characters QSettings escapes, quotes, or keeps. Not
// U+FEFF: Qt 6 drops it as a byte-order mark when it starts the first unescaped part of a
// value it reads, so QSettings changes such a line of its own file whenever it writes the
// file again, where the library leaves the line as it is.
const char16_t KeyCharacters[] = u"aab//G %\\.\u00e9\u65e5";
const char16_t TextCharacters[] = {u' ', u',', u';', u'=', u'"', u'\\', 0, 1, u'@', u'a', u'f',
                                   u'0', u'(', u')', u'\t', u'\n', 0x7f, 0x80, 0xe9, 0x65e5,
                                   0xd800, 0xdc00, u'B', u'y', u't', u'e', u'A', u'r'};

void fail(const char *what, const QString &key, const QByteArray &content)
{
    fprintf(stderr, "%s: key %s\nfile: %s\n", what, key.toUtf8().toHex(' ').constData(),
            content.toHex(' ').constData());
    abort();
}

QString scratchPath()
{
    static int files = 0;
    return QDir::temp().filePath(QStringLiteral("fuzz-ini-%1.ini").arg(++files));
}

// Up to seven bytes, or characters of a set: short, so that keys and texts meet again.
QByteArray bytes(FuzzInput &in)
{
    QByteArray bytes;
    for (int length = in.take<quint8>() % 8; length > 0; --length)
        bytes += char(in.take<quint8>());
    return bytes;
}

QString text(FuzzInput &in, const char16_t *characters, int count)
{
    QString text;
    for (const char byte : bytes(in))
        text += QChar(characters[uchar(byte) % count]);
    return text;
}

bool same(const QVariant &a, const QVariant &b)
{
    return a.userType() == b.userType() && (a.userType() == QMetaType::QByteArray
                                                    ? a.toByteArray() == b.toByteArray()
                                                    : a.toString() == b.toString());
}

void compareReads(const QByteArray &content)
{
    const QString path = scratchPath();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        abort();
    file.close();
    QHash<QString, QVariant> read;
    bool failed = false;
    try {
        QSettings settings(path, QSettings::IniFormat);
        for (const QString &key : settings.allKeys())
            read.insert(key, settings.value(key));
    } catch (const std::bad_alloc &) {
        failed = true;
    }
    QFile::remove(path);
    const IniDocument document(content);
    if (failed && document.unreadLines().isEmpty())
        fail("QSettings deserialised a value the library reads", QString(), content);
    document.forEachValue([&](QStringView name, const std::function<QVariant()> &) {
        const QString key = name.toString();
        const QVariant mine = document.value(key);
        if (!failed && mine.isValid() && (!read.contains(key) || !same(read.value(key), mine)))
            fail("the library reads a key QSettings reads otherwise", key, content);
    });
    for (auto theirs = read.cbegin(); theirs != read.cend(); ++theirs) {
        const QVariant mine = document.value(theirs.key());
        const bool readForm = theirs->userType() == QMetaType::QByteArray
                || (theirs->userType() == QMetaType::QString && !theirs->toString().startsWith(QLatin1Char('@')));
        if (mine.isValid() ? !same(*theirs, mine) : readForm)
            fail("QSettings reads a key the library reads otherwise", theirs.key(), content);
    }
}

// One edit, the same to QSettings and to the document; making the file, QSettings may
// write a list too, which the library then keeps as it is.
void edit(FuzzInput &in, QSettings &settings, IniDocument &document, bool making = false)
{
    const int operation = in.take<quint8>() % 16;
    const QString key = text(in, KeyCharacters, int(std::size(KeyCharacters)) - 1);
    const QVariant values[] = {text(in, TextCharacters, int(std::size(TextCharacters))), bytes(in),
                               in.take<qint32>(), bool(in.take<quint8>() & 1)};
    if (operation == 15) {
        settings.clear();
        document.clear();
    } else if (operation == 14 && making && !key.isEmpty()) {
        settings.setValue(key, QStringList{values[0].toString(), QString()});
    } else if (operation >= 4) {
        settings.remove(key);
        document.remove(key);
    } else if (!key.isEmpty()) {
        settings.setValue(key, values[operation]);
        document.setValue(key, values[operation]);
    }
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void compareWrites(FuzzInput &in)
{
    const QString path = scratchPath();
    IniDocument ignored;
    for (QSettings settings(path, QSettings::IniFormat); in.take<quint8>() % 16;)
        edit(in, settings, ignored, true);
    const QByteArray written = readFile(path);
    IniDocument document(written);
    const QString copy = scratchPath();
    QFile::copy(path, copy);
    for (QSettings settings(copy, QSettings::IniFormat); !in.atEnd();)
        edit(in, settings, document);
    const QByteArray expected = QFile::exists(copy) ? readFile(copy) : written;
    QFile::remove(path);
    QFile::remove(copy);
    if (document.content() != expected)
        fail("the library's edits differ from QSettings'", QString(), written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzApplication();
    FuzzInput in(data, size);
    compareReads(in.chunk());
    compareWrites(in);
    return 0;
}
