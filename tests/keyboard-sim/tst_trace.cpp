#include "trace.h"

#include <QtTest/QtTest>

// A malformed trace must name its line and why, and run nothing; the reader takes exactly
// the text that is well-formed UTF-8. What well-formed lines do is shown by the syntax
// golden trace.
class tst_Trace : public QObject
{
    Q_OBJECT
private slots:
    void malformed_data();
    void malformed();
    void utf8_data();
    void utf8();
};

namespace {

// The rows of a tab-separated file: the line named, a second field and a trace.
QList<QList<QByteArray>> rows(const char *path)
{
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("%s: %s", path, qPrintable(file.errorString()));
    QList<QList<QByteArray>> rows;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (!line.startsWith('#') && line.count('\t') == 2)
            rows.append(line.split('\t'));
    }
    return rows;
}

// The trace of a row: "\n" stands for a line break and "<C3 A9>" for those bytes.
QByteArray traceText(QByteArray text)
{
    text.replace("\\n", "\n");
    QByteArray trace;
    int i = 0;
    for (int open = text.indexOf('<'); open >= 0; open = text.indexOf('<', i)) {
        const int close = text.indexOf('>', open);
        if (close < 0)
            break;
        trace += text.mid(i, open - i) + QByteArray::fromHex(text.mid(open + 1, close - open - 1));
        i = close + 1;
    }
    return trace + text.mid(i);
}

} // namespace

void tst_Trace::malformed_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");
    for (const QList<QByteArray> &row : rows(MALFORMED_LINES))
        QTest::newRow(row[2].constData())
                << traceText(row[2]) << row[0].toInt() << QString::fromUtf8(row[1]);
}

void tst_Trace::malformed()
{
    QFETCH(QByteArray, text);
    QFETCH(int, line);
    QFETCH(QString, reason);

    const Trace trace = Trace::parse(text);
    QVERIFY(!trace.isValid());
    QCOMPARE(trace.errorLine(), line);
    QCOMPARE(trace.errorReason(), reason);
    QVERIFY(trace.lines().isEmpty());
}

// utf8.lines: the line refused as not UTF-8, or 0 ("ok") when the trace is valid.
void tst_Trace::utf8_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("line");
    for (const QList<QByteArray> &row : rows(UTF8_LINES))
        QTest::newRow(row[1].constData()) << traceText(row[2]) << row[0].toInt();
}

void tst_Trace::utf8()
{
    QFETCH(QByteArray, text);
    QFETCH(int, line);

    const Trace trace = Trace::parse(text);
    QCOMPARE(trace.errorLine(), line);
    QCOMPARE(trace.errorReason(), line == 0 ? QString() : QStringLiteral("not valid UTF-8"));
}

QTEST_GUILESS_MAIN(tst_Trace)
#include "tst_trace.moc"
