#include "processorhost.h"

#include <QtTest/QtTest>

// The key-rate guard shared by instances, with its real timer, and the lookups outside the
// QML surface. Routes are tested on values in tst_keyrouter, every key table row by the
// keytable golden trace, the guard's deadline by the timers golden trace.
class tst_KeyDispatch : public QObject
{
    Q_OBJECT
private slots:
    void guardSharedByInstances();
    void lookups();
};

namespace {

using Self = UiprocDealKeyPress_Vorn_Desktop;

void deliver(Self &processor, model_Protocoldata message)
{
    processor.taskCmdProcess(&message);
}

} // namespace

// One guard for all instances: a key to one flags a key to the other, and one timeout
// resets it for both.
void tst_KeyDispatch::guardSharedByInstances()
{
    ProcessorHost host;
    host.start();
    Self other;
    QSignalSpy flagged(&other, &Self::sig_warrFreqMsg);

    host.send(keyEvent(105));
    deliver(other, keyEvent(106));
    QCOMPARE(flagged.count(), 1);

    QSignalSpy expired(&Self::keyTimer, &QTimer::timeout);
    QVERIFY(expired.wait(2000));
    deliver(other, keyEvent(107));
    QCOMPARE(flagged.count(), 1);
    QVERIFY(!Self::keyFlag);
}

// Key value -> result of the two lookups outside the QML surface, at their edges.
void tst_KeyDispatch::lookups()
{
    ProcessorHost host;
    Self *processor = host.start();
    host.model.keyMap = QMap<int, int>{{105, 403}, {106, 0x10000 + 403}};
    QCOMPARE(processor->keyTransform(203), 203);
    QCOMPARE(processor->keyTransform(105), 403);
    QCOMPARE(processor->keyTransform(106), 0x10000 + 403);

    const int groups[][2] = {{104, 0}, {105, 1}, {120, 1}, {121, 0}, {202, 0}, {203, 2},  {215, 2},
                             {216, 0}, {312, 0}, {313, 3}, {328, 3}, {402, 0}, {403, 6},  {418, 6},
                             {504, 0}, {505, 5}, {520, 5}, {521, 0}, {0, 0},   {65535, 0}};
    for (const auto &row : groups)
        QVERIFY2(processor->getGroupIdByKeyValue(quint16(row[0])) == row[1],
                 qPrintable(QString::number(row[0])));
}

QTEST_GUILESS_MAIN(tst_KeyDispatch)
#include "tst_keydispatch.moc"
