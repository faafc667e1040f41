#include "fuzztarget.h"
#include "inidocument.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QSettings>

#include <cstdio>
#include <cstdlib>
#include <new>

// The library's own INI parse and edits against QSettings of the same Qt. The input holds
// a file's bytes as a chunk, then two lists of operations: the first makes a file through
// QSettings, the second edits it through both.
// - Every key the library reads, QSettings reads alike (a text or a byte array), and every
//   text or byte array QSettings reads the library reads too, except a text starting with
//   '@' (QSettings takes an unknown value form for a text; the library leaves it unread).
//   Where QSettings deserialises a value and fails, the library must have left a line
//   unread.
// - The library's edits of a file QSettings wrote give QSettings' bytes.
extern "C" const char *__asan_default_options()
{
    return "allocator_may_return_null=1";
}

namespace {

// Characters that keys and texts are made of: what QSettings escapes, quotes, or keeps. Not
// U+FEFF: Qt 6 drops it as a byte-order mark when it starts the first unescaped part of a
// value it reads, so QSettings changes such a line of its own file whenever it writes the
// file again, where the library leaves the line as it is.
const char16_t KeyCharacters[] = u"aab//G %\\.\u00e9\u65e5";
const char16_t TextCharacters[] = {u' ', u',', u';', u'=', u'"', u'\\', 0, 1, u'@', u'a', u'f',
                                   u'0', u'(', u')', u'\t', u'\n', 0x7f, 0x80, 0xe9, 0x65e5,
                                   0xd800, 0xdc00, u'B', u'y', u't', u'e', u'A', u'r'};

QByteArray shown(const QVariant &value)
{
    return QByteArray(value.typeName() ? value.typeName() : "missing") + ' '
            + (value.userType() == QMetaType::QByteArray ? value.toByteArray() : value.toString().toUtf8()).toHex(' ');
}

void fail(const char *what, const QString &key, const QByteArray &content,
          const QVariant &theirs = QVariant(), const QVariant &mine = QVariant())
{
    fprintf(stderr, "%s: key %s\nQSettings: %s\nlibrary: %s\nfile: %s\n", what,
            key.toUtf8().toHex(' ').constData(), shown(theirs).constData(),
            shown(mine).constData(), content.toHex(' ').constData());
    abort();
}

QString scratchPath()
{
    static int files = 0;
    return QDir::temp().filePath(QStringLiteral("fuzz-ini-%1.ini").arg(++files));
}

// Up to seven characters of a set, short enough for keys and texts to meet again.
QString text(FuzzInput &in, const char16_t *characters, int count)
{
    QString text;
    for (int length = in.take<quint8>() % 8; length > 0; --length)
        text += QChar(characters[in.take<quint8>() % count]);
    return text;
}

QByteArray bytes(FuzzInput &in)
{
    QByteArray bytes;
    for (int length = in.take<quint8>() % 8; length > 0; --length)
        bytes += char(in.take<quint8>());
    return bytes;
}

bool isReadForm(const QVariant &value)
{
    return value.userType() == QMetaType::QByteArray
            || (value.userType() == QMetaType::QString && !value.toString().startsWith(QLatin1Char('@')));
}

bool same(const QVariant &a, const QVariant &b)
{
    return a.userType() == b.userType()
            && (a.userType() == QMetaType::QByteArray ? a.toByteArray() == b.toByteArray()
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
    if (failed) {
        if (document.unreadLines().isEmpty())
            fail("QSettings deserialised a value the library reads", QString(), content);
        return;
    }
    for (const QString &key : document.keys()) {
        const QVariant mine = document.value(key);
        if (mine.isValid() && (!read.contains(key) || !same(read.value(key), mine)))
            fail("the library reads a key QSettings reads otherwise", key, content,
                 read.value(key), mine);
    }
    for (auto value = read.cbegin(); value != read.cend(); ++value) {
        const QVariant mine = document.value(value.key());
        if (mine.isValid() ? !same(*value, mine) : isReadForm(*value))
            fail("QSettings reads a key the library reads otherwise", value.key(), content, *value,
                 mine);
    }
}

// One edit, the same to QSettings and to the document.
void edit(FuzzInput &in, QSettings &settings, IniDocument &document)
{
    const int operation = in.take<quint8>() % 16;
    const QString key = text(in, KeyCharacters, int(std::size(KeyCharacters)) - 1);
    QVariant value;
    switch (operation % 5) {
    case 0:
        value = text(in, TextCharacters, int(std::size(TextCharacters)));
        break;
    case 1:
        value = bytes(in);
        break;
    case 2:
        value = in.take<qint32>();
        break;
    case 3:
        value = bool(in.take<quint8>() & 1);
        break;
    default:
        if (operation == 15) {
            settings.clear();
            document.clear();
        } else {
            if (getenv("SHOWW")) fprintf(stderr, "remove %s\n", qPrintable(key));
            settings.remove(key);
            document.remove(key);
        }
        return;
    }
    if (key.isEmpty())
        return;
    if (getenv("SHOWW")) fprintf(stderr, "set %s = %s\n", qPrintable(key), shown(value).constData());
    settings.setValue(key, value);
    document.setValue(key, value);
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
    {
        QSettings settings(path, QSettings::IniFormat);
        for (int count = in.take<quint8>() % 16; count > 0; --count)
            edit(in, settings, ignored);
    }
    const QByteArray written = readFile(path);
    IniDocument document(written);
    const QString copy = scratchPath();
    QFile::copy(path, copy);
    {
        QSettings settings(copy, QSettings::IniFormat);
        while (!in.atEnd())
            edit(in, settings, document);
    }
    const QByteArray expected = QFile::exists(copy) ? readFile(copy) : written;
    QFile::remove(path);
    QFile::remove(copy);
    if (getenv("SHOWW")) fprintf(stderr, "W[%s]\nE[%s]\nL[%s]\n", written.constData(), expected.constData(), document.content().constData());
    if (document.content() != expected) {
        fprintf(stderr, "--- library:\n%s\n", document.content().constData());
        fail("the library's edits differ from QSettings'", QString(), expected);
    }
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
