#include "trace.h"

#include <QtTest/QtTest>

// A malformed trace must name its line and why, and run nothing. What well-formed lines
// do is shown by the syntax golden trace.
class tst_Trace : public QObject
{
    Q_OBJECT
private slots:
    void malformed_data();
    void malformed();
};

void tst_Trace::malformed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");

    QFile file(QStringLiteral(MALFORMED_LINES));
    QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(file.errorString()));
    for (const QString &row : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QStringList fields = row.split(QLatin1Char('\t'));
        if (fields.size() == 3)
            QTest::newRow(qPrintable(fields[2]))
                    << QString(fields[2]).replace(QLatin1String("\\n"), QLatin1String("\n"))
                    << fields[0].toInt() << fields[1];
    }
}

void tst_Trace::malformed()
{
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(QString, reason);

    const Trace trace = Trace::parse(text);
    QVERIFY(!trace.isValid());
    QCOMPARE(trace.errorLine(), line);
    QCOMPARE(trace.errorReason(), reason);
    QVERIFY(trace.lines().isEmpty());
}

QTEST_GUILESS_MAIN(tst_Trace)
#include "tst_trace.moc"
