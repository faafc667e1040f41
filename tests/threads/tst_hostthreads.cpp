#include "hostmodelthreads.h"
#include "oledkeyrecord.h"
#include "processorhost.h"

#include <QtTest/QtTest>

// The library beside the host's threads, which write and read the model under the host's
// mutex: nothing the library writes may change the model under a host thread holding
// the mutex, be seen half written, or undo a host write elsewhere. The model writes'
// mutations (a lock dropped or taken twice) fail here; a lock held over an emission fails
// tst_modelupdate.
class tst_HostThreads : public QObject
{
    Q_OBJECT
private slots:
    void messagesFromTheHostThread();
    void wholeModelWrites();
};

namespace {

const int MessageCount = 20000; // a few seconds under the sanitizers
const int WholeModelWrites = 1000; // each meeting a host thread that holds the mutex
const int LastBankKey = 120;
const int HeldWriteBacks = 8; // one group update in 8 meets a host thread holding the mutex

QString text(Model_VOrnParam &model, int index)
{
    const std::string_view first = OledKeyRecord(model, index).text(OledKeyRecord::FirstLine);
    return QString::fromLatin1(first.data(), int(first.size()));
}

} // namespace

void tst_HostThreads::messagesFromTheHostThread()
{
    ProcessorHost host(HostSession::WorkerThread);
    host.processor.reset(new UiprocDealKeyPress_Vorn_Desktop);
    host.processor->connectBIZ();
    HostModelThreads threads(host);
    threads.start(HostModelThreads::Writers | HostModelThreads::Readers);
    // A group update announces its last key just before its write-back.
    int groupUpdates = 0;
    QObject::connect(host.processor.get(), &UiprocDealKeyPress_Vorn_Desktop::sig_updateOledShow,
                     [&](int key) {
                         if (key == LastBankKey && ++groupUpdates % HeldWriteBacks == 0)
                             threads.holdMutexNow();
                     });

    QElapsedTimer clock;
    clock.start();
    int sent = 0;
    for (; sent < MessageCount && threads.findings().isEmpty(); ++sent)
        threads.send(sent);
    const double seconds = clock.nsecsElapsed() / 1e9;
    threads.stop();

    qInfo("%d messages in %.1f s (%.0f/s); %d host writes, %d checked for loss; %d reads "
          "under the mutex",
          sent, seconds, sent / seconds, threads.writes(), threads.checkedWrites(),
          threads.reads());
    QVERIFY2(threads.findings().isEmpty(), qPrintable(threads.findings().join('\n')));
    QCOMPARE(text(host.model, 0), QString::number(MessageCount - 4));
    QCOMPARE(text(host.model, OledKeyRecord::keyIndex(58)), QString::number(MessageCount - 3));
}

// setModel beside readers: each finds one whole model, unchanged while it holds the mutex.
void tst_HostThreads::wholeModelWrites()
{
    ProcessorHost host;
    host.processor.reset(new UiprocDealKeyPress_Vorn_Desktop);
    std::unique_ptr<Model_VOrnParam> models[2];
    for (int i = 0; i < 2; ++i) {
        models[i] = std::make_unique<Model_VOrnParam>();
        HostModelThreads::fillWrittenParts(*models[i], uchar(i + 1));
        models[i]->keyMap.insert(i, i + 1);
    }
    HostModelThreads threads(host);
    threads.start(HostModelThreads::Readers);

    for (int i = 0; i < WholeModelWrites && threads.findings().isEmpty(); ++i) {
        threads.holdMutexNow();
        host.processor->setModel(*models[i % 2]);
        threads.letStep();
    }
    threads.stop();

    QVERIFY2(threads.findings().isEmpty(), qPrintable(threads.findings().join('\n')));
    QCOMPARE(std::memcmp(&host.model, models[1].get(), Model_VOrnParam::PlainBlockSize), 0);
    QCOMPARE(host.model.keyMap, models[1]->keyMap);
    QVERIFY(threads.reads() > 0);
}

QTEST_GUILESS_MAIN(tst_HostThreads)
#include "tst_hostthreads.moc"
