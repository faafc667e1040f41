#include "trace.h"

#include "uiprocdealkeypress_vorn_desktop.h"

#include <QtCore/QMetaMethod>
#include <QtCore/QStringList>

#include <algorithm>
#include <iterator>
#include <limits>
#include <optional>

namespace {

const int MaxPayloadBytes = 1 << 20;
const qint64 IntMin = std::numeric_limits<int>::min();
const qint64 IntMax = std::numeric_limits<int>::max();
const quint16 TbarKey = 10;
const uchar KeyEventCommand = 0xa0;
const quint32 DefaultMessageClass = 0x400000;

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isUtf8(const QByteArray &bytes)
{
    static const struct
    {
        uchar lowest;
        uchar highest;
        int length;
        uchar payload;
        uint least;
    } Leads[] = {{0xc2, 0xdf, 2, 0x1f, 0x80},
                 {0xe0, 0xef, 3, 0x0f, 0x800},
                 {0xf0, 0xf4, 4, 0x07, 0x10000}};
    for (int i = 0; i < bytes.size();) {
        const uchar first = uchar(bytes.at(i));
        if (first < 0x80) {
            ++i;
            continue;
        }
        const auto lead = std::find_if(std::begin(Leads), std::end(Leads), [first](const auto &l) {
            return first >= l.lowest && first <= l.highest;
        });
        if (lead == std::end(Leads) || i + lead->length > bytes.size())
            return false;
        uint code = first & lead->payload;
        for (int k = 1; k < lead->length; ++k) {
            const uchar next = uchar(bytes.at(i + k));
            if ((next & 0xc0) != 0x80)
                return false;
            code = code << 6 | (next & 0x3f);
        }
        if (code < lead->least || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
            return false;
        i += lead->length;
    }
    return true;
}

struct Token
{
    QString text;
    bool quoted = false;
    QString suffix; // what follows a closing quote directly, as in "text":8
};

std::optional<qint64> parseInteger(QString text)
{
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative)
        text.remove(0, 1);
    int base = 10;
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        text.remove(0, 2);
        base = 16;
    }
    if (text.isEmpty() || text.size() > 15)
        return std::nullopt;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, base);
    if (!ok || !text.at(0).isLetterOrNumber())
        return std::nullopt;
    return negative ? -value : value;
}

// Reads the tokens of one line. The first failure is kept as the line's error; later
// reads return harmless values and the line is discarded.
class LineReader
{
public:
    explicit LineReader(const QString &line) { tokenize(line); }

    int count() const { return m_tokens.size(); }
    const Token &token(int index) const { return m_tokens.at(index); }
    bool isWord(int index, const char *word) const
    {
        return index < count() && !token(index).quoted && token(index).text == QLatin1String(word);
    }

    bool failed() const { return !m_error.isEmpty(); }
    QString error() const { return m_error; }
    void fail(const QString &reason)
    {
        if (m_error.isEmpty())
            m_error = reason;
    }

    // The usage text of the line's kind, for a line of the wrong shape.
    void setUsage(const char *usage) { m_usage = QLatin1String(usage); }
    void failUsage() { fail(QStringLiteral("usage: %1").arg(m_usage)); }

    qint64 integer(const Token &token, const QString &what, qint64 min, qint64 max)
    {
        const std::optional<qint64> value = token.quoted ? std::nullopt : parseInteger(token.text);
        if (!value) {
            fail(QStringLiteral("%1 is not a number: %2").arg(what, token.text));
            return min;
        }
        if (*value < min || *value > max) {
            fail(QStringLiteral("%1 out of range %2..%3: %4")
                         .arg(what)
                         .arg(min)
                         .arg(max)
                         .arg(token.text));
            return min;
        }
        return *value;
    }
    qint64 integer(int index, const QString &what, qint64 min, qint64 max)
    {
        return integer(token(index), what, min, max);
    }
    qint64 integerText(const QString &text, const QString &what, qint64 min, qint64 max)
    {
        Token t;
        t.text = text;
        return integer(t, what, min, max);
    }
    uchar byteValue(int index, const QString &what) { return uchar(integer(index, what, 0, 255)); }

    // "name=N" options of msg and key lines.
    std::optional<qint64> option(int index, const QString &name, qint64 max)
    {
        const QString prefix = name + QLatin1Char('=');
        if (token(index).quoted || !token(index).text.startsWith(prefix))
            return std::nullopt;
        return integerText(token(index).text.mid(prefix.size()), name, 0, max);
    }

    bool onOff(int index)
    {
        if (isWord(index, "on"))
            return true;
        if (!isWord(index, "off"))
            fail(QStringLiteral("expected on or off: %1").arg(token(index).text));
        return false;
    }

private:
    void tokenize(const QString &line);

    QVector<Token> m_tokens;
    QString m_error;
    QString m_usage;
};

void LineReader::tokenize(const QString &line)
{
    int i = 0;
    const int n = line.size();
    while (i < n) {
        if (line.at(i).isSpace()) {
            ++i;
            continue;
        }
        if (line.at(i) == QLatin1Char('#'))
            return;
        Token token;
        if (line.at(i) == QLatin1Char('"')) {
            token.quoted = true;
            bool closed = false;
            for (++i; i < n && !closed; ++i) {
                QChar c = line.at(i);
                if (c == QLatin1Char('"')) {
                    closed = true;
                } else if (c == QLatin1Char('\\') && i + 1 < n) {
                    c = line.at(++i);
                    if (c == QLatin1Char('x') || c == QLatin1Char('u')) {
                        // \xNN: a character up to U+00FF; \uNNNN: a UTF-16 code unit, also
                        // half a surrogate pair.
                        const int length = c == QLatin1Char('x') ? 2 : 4;
                        bool ok = false;
                        const QString digits = line.mid(i + 1, length);
                        const uint code = digits.toUInt(&ok, 16);
                        if (!ok || digits.size() != length) {
                            fail(QStringLiteral("\\%1 takes %2 hexadecimal digits")
                                         .arg(QString(c), QLatin1String(length == 2 ? "two" : "four")));
                            return;
                        }
                        token.text += QChar(code);
                        i += length;
                    } else {
                        token.text += c == QLatin1Char('n') ? QChar('\n')
                                : c == QLatin1Char('t')     ? QChar('\t')
                                : c == QLatin1Char('0')     ? QChar(0)
                                                            : c;
                    }
                } else {
                    token.text += c;
                }
            }
            if (!closed) {
                fail(QStringLiteral("unterminated string"));
                return;
            }
            while (i < n && !line.at(i).isSpace())
                token.suffix += line.at(i++);
        } else {
            while (i < n && !line.at(i).isSpace() && line.at(i) != QLatin1Char('#'))
                token.text += line.at(i++);
        }
        m_tokens.append(token);
    }
}

QByteArray payloadBytes(LineReader &reader, int first)
{
    QByteArray payload;
    for (int i = first; i < reader.count() && !reader.failed(); ++i) {
        const Token &token = reader.token(i);
        if (token.quoted) {
            QByteArray bytes = token.text.toUtf8();
            if (token.suffix.startsWith(QLatin1Char(':'))) {
                const int length = int(reader.integerText(
                        token.suffix.mid(1), QStringLiteral("string length"), 0, MaxPayloadBytes));
                bytes = bytes.left(length);
                bytes.append(QByteArray(length - bytes.size(), '\0'));
            } else if (!token.suffix.isEmpty()) {
                reader.fail(QStringLiteral("unexpected text after string: %1").arg(token.suffix));
            }
            payload += bytes;
        } else if (token.text.startsWith(QLatin1String("zeros:"))) {
            payload += QByteArray(
                    int(reader.integerText(token.text.mid(6), QStringLiteral("zero count"), 0,
                                           MaxPayloadBytes)),
                    '\0');
        } else {
            payload += char(reader.byteValue(i, QStringLiteral("payload byte")));
        }
        if (payload.size() > MaxPayloadBytes)
            reader.fail(QStringLiteral("payload longer than %1 bytes").arg(MaxPayloadBytes));
    }
    return payload;
}

TraceLine messageLine(LineReader &reader)
{
    TraceLine line;
    model_Protocoldata &message = line.message;
    message.messageClass = DefaultMessageClass;
    message.command = reader.byteValue(1, QStringLiteral("command"));
    message.subCommand = reader.byteValue(2, QStringLiteral("sub-command"));
    message.dataA = reader.byteValue(3, QStringLiteral("data byte A"));
    message.byte29 = reader.byteValue(4, QStringLiteral("byte 0x29"));
    message.byte2A = reader.byteValue(5, QStringLiteral("byte 0x2a"));
    for (int i = 6; i < reader.count(); ++i) {
        if (const auto messageClass = reader.option(i, QStringLiteral("class"), 0xffffffff)) {
            message.messageClass = quint32(*messageClass);
        } else if (reader.isWord(i, "payload")) {
            message.payload = payloadBytes(reader, i + 1);
            break;
        } else {
            reader.fail(QStringLiteral("unexpected token: %1").arg(reader.token(i).text));
        }
    }
    return line;
}

TraceLine keyLine(quint16 key, uchar a, uchar b)
{
    TraceLine line;
    line.message.messageClass = DefaultMessageClass;
    line.message.command = KeyEventCommand;
    line.message.subCommand = b;
    line.message.dataA = a;
    line.message.byte29 = uchar(key & 0xff);
    line.message.byte2A = uchar(key >> 8);
    return line;
}

TraceLine keyEventLine(LineReader &reader)
{
    const quint16 key = quint16(reader.integer(1, QStringLiteral("key value"), 0, 0xffff));
    qint64 a = 0;
    qint64 b = 0;
    for (int i = 2; i < reader.count(); ++i) {
        if (const auto value = reader.option(i, QStringLiteral("a"), 255))
            a = *value;
        else if (const auto value = reader.option(i, QStringLiteral("b"), 255))
            b = *value;
        else
            reader.fail(QStringLiteral("unexpected token: %1").arg(reader.token(i).text));
    }
    return keyLine(key, uchar(a), uchar(b));
}

TraceLine tbarLine(LineReader &reader)
{
    const quint16 raw = quint16(reader.integer(1, QStringLiteral("T-bar value"), 0, 0xffff));
    return keyLine(TbarKey, uchar(raw >> 8), uchar(raw & 0xff));
}

// A call argument as QML would pass it, or an invalid variant when it cannot be one.
QVariant callArgument(const Token &token, int type)
{
    const bool word = !token.quoted;
    switch (type) {
    case QMetaType::Int: {
        const std::optional<qint64> value = word ? parseInteger(token.text) : std::nullopt;
        return value && *value >= IntMin && *value <= IntMax ? QVariant(int(*value)) : QVariant();
    }
    case QMetaType::Bool:
        if (word && (token.text == QLatin1String("true") || token.text == QLatin1String("false")))
            return token.text == QLatin1String("true");
        return QVariant();
    case QMetaType::QString:
        return token.quoted && token.suffix.isEmpty() ? QVariant(token.text) : QVariant();
    default:
        return QVariant();
    }
}

// The call's arguments converted to the parameter types; false when they do not fit.
bool callArguments(LineReader &reader, const QVector<int> &types, QVariantList *arguments)
{
    if (types.size() != reader.count() - 2)
        return false;
    for (int p = 0; p < types.size(); ++p) {
        const QVariant value = callArgument(reader.token(p + 2), types.at(p));
        if (!value.isValid())
            return false;
        arguments->append(value);
    }
    return true;
}

// Public methods the host calls beside the QML surface.
const struct
{
    const char *name;
    TraceLine::HostMethod method;
    QVector<int> types;
} HostMethods[] = {
        {"writeOledIni",
         TraceLine::WriteOledIni,
         {QMetaType::Int, QMetaType::Int, QMetaType::Int, QMetaType::QString, QMetaType::QString}},
};

TraceLine callLine(LineReader &reader)
{
    TraceLine line;
    line.kind = TraceLine::Call;
    if (reader.token(1).quoted) {
        reader.failUsage();
        return line;
    }
    const QString name = reader.token(1).text;
    const QMetaObject &meta = UiprocDealKeyPress_Vorn_Desktop::staticMetaObject;
    bool nameFound = false;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        if (method.methodType() == QMetaMethod::Signal || method.name() != name.toLatin1())
            continue;
        nameFound = true;
        QVector<int> types;
        for (int p = 0; p < method.parameterCount(); ++p)
            types.append(method.parameterType(p));
        QVariantList arguments;
        if (callArguments(reader, types, &arguments)) {
            line.methodIndex = i;
            line.arguments = arguments;
            return line;
        }
    }
    for (const auto &host : HostMethods) {
        if (name != QLatin1String(host.name))
            continue;
        nameFound = true;
        if (callArguments(reader, host.types, &line.arguments)) {
            line.hostMethod = host.method;
            return line;
        }
    }
    if (nameFound)
        reader.fail(QStringLiteral("%1 takes no such arguments").arg(name));
    else
        reader.fail(QStringLiteral("no slot or invokable method named %1").arg(name));
    return line;
}

TraceLine waitLine(LineReader &reader)
{
    TraceLine line;
    line.kind = TraceLine::Wait;
    line.milliseconds
            = int(reader.integer(1, QStringLiteral("milliseconds"), 0, Trace::MaxWaitMilliseconds));
    return line;
}

TraceLine pauseLine(LineReader &)
{
    TraceLine line;
    line.kind = TraceLine::Pause;
    return line;
}

TraceLine hostLine(LineReader &reader)
{
    TraceLine line;
    line.kind = TraceLine::Host;
    const QString setting = reader.token(1).text;
    const Token &value = reader.token(2);
    if (reader.isWord(1, "device-type")) {
        line.hostSetting = TraceLine::DeviceType;
        line.value = int(reader.integer(2, setting, IntMin, IntMax));
    } else if (reader.isWord(1, "connect-type")) {
        line.hostSetting = TraceLine::ConnectType;
        line.value = int(reader.integer(2, setting, IntMin, IntMax));
    } else if (reader.isWord(1, "debug")) {
        line.hostSetting = TraceLine::Debug;
        line.value = reader.onOff(2);
    } else if (reader.isWord(1, "tone-version")) {
        line.hostSetting = TraceLine::ToneVersion;
        line.value = value.text;
        if (!value.quoted || !value.suffix.isEmpty())
            reader.fail(QStringLiteral("tone-version takes a quoted text"));
    } else if (reader.isWord(1, "tbar-mode")) {
        line.hostSetting = TraceLine::TbarMode;
        line.value = reader.onOff(2);
    } else {
        reader.fail(QStringLiteral("unknown host setting: %1").arg(setting));
    }
    return line;
}

TraceLine iniLine(LineReader &reader)
{
    TraceLine line;
    line.kind = TraceLine::Ini;
    if (reader.isWord(1, "keyboard"))
        line.iniFile = TraceLine::KeyboardConfig;
    else if (reader.isWord(1, "oled"))
        line.iniFile = TraceLine::OledConfig;
    else
        reader.fail(QStringLiteral("expected keyboard or oled: %1").arg(reader.token(1).text));
    if (reader.count() == 3) {
        const Token &content = reader.token(2);
        line.wholeFile = true;
        line.value = content.text.toLatin1();
        if (!content.quoted || content.suffix != QLatin1String(":bytes"))
            reader.failUsage();
        return line;
    }
    line.iniPath = reader.token(2).text;
    const Token &value = reader.token(3);
    const std::optional<qint64> number = value.quoted ? std::nullopt : parseInteger(value.text);
    if (value.suffix == QLatin1String(":bytes"))
        line.value = value.text.toLatin1(); // one byte per character, \xNN for the others
    else if (!value.suffix.isEmpty())
        reader.fail(QStringLiteral("unexpected text after string: %1").arg(value.suffix));
    else
        line.value = number ? QVariant(*number) : QVariant(value.text);
    return line;
}

TraceLine dumpLine(LineReader &reader)
{
    TraceLine line;
    line.kind = TraceLine::Dump;
    if (reader.count() == 2 && reader.isWord(1, "records"))
        line.dumpTarget = TraceLine::Records;
    else if (reader.count() == 3 && reader.isWord(1, "ini") && reader.isWord(2, "keyboard"))
        line.dumpTarget = TraceLine::KeyboardIni;
    else if (reader.count() == 3 && reader.isWord(1, "ini") && reader.isWord(2, "oled"))
        line.dumpTarget = TraceLine::OledIni;
    else
        reader.failUsage();
    return line;
}

using Parser = TraceLine (*)(LineReader &);

// One row per line kind: its keyword, its usage, its token counts (keyword included;
// -1: no upper bound) and its parser.
const struct LineKind
{
    const char *keyword;
    const char *usage;
    const char *effect;
    int minTokens;
    int maxTokens;
    Parser parse;
} LineKinds[] = {
        {"msg", "msg CMD SUB A B29 B2A [class=N] [payload TOKENS...]", "one host message", 6, -1,
         messageLine},
        {"key", "key K [a=N] [b=N]", "a key event", 2, 4, keyEventLine},
        {"tbar", "tbar RAW", "the T-bar key", 2, 2, tbarLine},
        {"call", "call NAME [ARGS...]",
         "a slot or invokable method, as QML calls it, or writeOledIni, as the host does", 2, -1,
         callLine},
        {"wait", "wait MS", "runs the event loop, so timers fire", 2, 2, waitLine},
        {"host",
         "host device-type N | connect-type N | debug on|off | tone-version \"TEXT\""
         " | tbar-mode on|off",
         "what the host stand-ins answer", 3, 3, hostLine},
        {"ini", "ini keyboard|oled PATH VALUE | ini keyboard|oled \"BYTES\":bytes",
         "a value in a configuration file (\"TEXT\":bytes: bytes), or the whole file", 3, 4,
         iniLine},
        {"pause", "pause", "waits for a line on standard input", 1, 1, pauseLine},
        {"dump", "dump records | dump ini keyboard|oled",
         "shows the OLED records changed since the last dump, or a configuration file", 2, 3,
         dumpLine},
};

TraceLine parseLine(LineReader &reader)
{
    for (const LineKind &kind : LineKinds) {
        if (!reader.isWord(0, kind.keyword))
            continue;
        reader.setUsage(kind.usage);
        if (reader.count() < kind.minTokens
            || (kind.maxTokens >= 0 && reader.count() > kind.maxTokens)) {
            reader.failUsage();
            return TraceLine();
        }
        return kind.parse(reader);
    }
    reader.fail(QStringLiteral("unknown line kind: %1").arg(reader.token(0).text));
    return TraceLine();
}

} // namespace

QString Trace::lineKindsHelp()
{
    QString help;
    for (const LineKind &kind : LineKinds)
        help += QStringLiteral("  %1\n      %2\n")
                        .arg(QLatin1String(kind.usage), QLatin1String(kind.effect));
    return help;
}

Trace Trace::parse(const QByteArray &text)
{
    Trace trace;
    const QList<QByteArray> lines = text.split('\n');
    int processorLine = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray &bytes = lines.at(i);
        const QString unreadable = bytes.contains('\0') ? QStringLiteral("NUL byte")
                : isUtf8(bytes)                         ? QString()
                                                        : QStringLiteral("not valid UTF-8");
        LineReader reader(unreadable.isEmpty() ? QString::fromUtf8(bytes) : QString());
        if (!unreadable.isEmpty())
            reader.fail(unreadable);
        if (reader.count() == 0 && !reader.failed())
            continue;
        TraceLine line = reader.failed() ? TraceLine() : parseLine(reader);
        line.lineNumber = i + 1;
        if (line.kind == TraceLine::Ini && processorLine != 0)
            reader.fail(QStringLiteral("ini must come before line %1, where the processor starts")
                                .arg(processorLine));
        if (reader.failed()) {
            trace.m_lines.clear();
            trace.m_errorLine = line.lineNumber;
            trace.m_errorReason = reader.error();
            return trace;
        }
        if (line.needsProcessor() && processorLine == 0)
            processorLine = line.lineNumber;
        trace.m_lines.append(line);
    }
    return trace;
}
