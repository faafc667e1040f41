#include "configfiles.h"
#include "countingreceiver.h"
#include "measured.h"
#include "hostsession.h"
#include "oledkeyrecord.h"
#include "oledpagetable.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <benchmark/benchmark.h>

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFileInfo>
#include <QtCore/QMutexLocker>
#include <QtCore/QSettings>

#include <cstring>
#include <memory>

#include <sys/stat.h>

namespace {

using Processor = UiprocDealKeyPress_Vorn_Desktop;

const int LayerGroup = 3;
const int FirstLayerKey = 313;
const int Keys = 16;
const int LineLength = 30;

struct Announcement
{
    int keyValue;
    int displayModel;
    int icon;
    QString first;
    QString second;
};

QByteArray line(const QByteArray &text)
{
    return text.leftJustified(LineLength, '\0', true);
}

// A processor on a host session, every signal connected to a counting receiver. The
// configuration file holds five pages for each layer key; with `pages` the layer keys act
// as themselves, so a layer group message reads them all.
struct Bench
{
    explicit Bench(bool pages = true)
    {
        QDir().mkpath(QFileInfo(ConfigFiles::keyboardConfigPath()).path());
        {
            QSettings settings(ConfigFiles::keyboardConfigPath(), QSettings::IniFormat);
            settings.clear();
            for (int key = FirstLayerKey; key < FirstLayerKey + Keys; ++key) {
                if (pages)
                    settings.setValue(QStringLiteral("KeyMap/%1").arg(key), QString::number(key));
                for (int page = 0; page < 5; ++page) {
                    settings.beginGroup(QStringLiteral("%1_%2").arg(key).arg(page));
                    settings.setValue(QStringLiteral("displayModel"), page + 1);
                    settings.setValue(QStringLiteral("oledIconIndex"), key % 100);
                    settings.setValue(QStringLiteral("oled1stText"),
                                      QStringLiteral("Layer %1").arg(key));
                    settings.setValue(QStringLiteral("oled2ndText"),
                                      QStringLiteral("Page %1").arg(page));
                    settings.endGroup();
                }
            }
        }
        Model_VOrnParam::gOledLength = LineLength;
        processor = std::make_unique<Processor>();
        receiver = std::make_unique<CountingReceiver>(processor.get());

        message.messageClass = 0x400000;
        message.command = 0xf1;
        message.subCommand = 0x41;
        message.dataA = LayerGroup;
        for (int slot = 0; slot < Keys; ++slot) {
            message.payload += char(1) + char(slot);
            message.payload += line("Layer " + QByteArray::number(slot)) + line("Message");
        }
        // Every record different, for the full refresh.
        for (int i = 0; i < Model_VOrnParam::OledKeyRecordCount; ++i) {
            OledKeyRecord record(session.model, i);
            record.setDisplayModel(uchar(i));
            record.setIcon(uchar(i >> 8));
            const QByteArray first = "Record " + QByteArray::number(i);
            record.copyText(OledKeyRecord::FirstLine, first.toStdString());
            record.copyText(OledKeyRecord::SecondLine, "Second line");
        }
    }

    ~Bench()
    {
        processor.reset();
        QDir(QFileInfo(ConfigFiles::keyboardConfigPath()).path()).removeRecursively();
    }

    // What the processor announces for the message, recorded once.
    QVector<Announcement> recordAnnouncements(void (*run)(Bench &))
    {
        QVector<Announcement> announced;
        const QMetaObject::Connection connection = QObject::connect(
                processor.get(), &Processor::sig_updateOledShow,
                [&](int key, int model, int icon, const QString &first, const QString &second) {
                    announced.append({key, model, icon, first, second});
                });
        run(*this);
        QObject::disconnect(connection);
        return announced;
    }

    HostSession session;
    std::unique_ptr<Processor> processor;
    std::unique_ptr<CountingReceiver> receiver;
    model_Protocoldata message;
};

void sendGroupMessage(Bench &bench)
{
    bench.processor->taskCmdProcess(&bench.message);
}

void refresh(Bench &bench)
{
    bench.processor->getVirturalKeyBoardAllOLED();
}

void announce(Processor *processor, const QVector<Announcement> &announced)
{
    for (const Announcement &a : announced)
        emit processor->sig_updateOledShow(a.keyValue, a.displayModel, a.icon, a.first, a.second);
}

// The announcements with their texts decoded from local 8-bit bytes, as each must be.
void announceDecoding(Processor *processor, const QVector<Announcement> &announced,
                      const QVector<QByteArray> &bytes)
{
    for (int i = 0; i < announced.size(); ++i) {
        const Announcement &a = announced[i];
        const QByteArray &first = bytes[2 * i];
        const QByteArray &second = bytes[2 * i + 1];
        emit processor->sig_updateOledShow(
                a.keyValue, a.displayModel, a.icon,
                QString::fromLocal8Bit(first.constData(), first.size()),
                QString::fromLocal8Bit(second.constData(), second.size()));
    }
}

// A group message of 16 layer keys, L = 30, each key with five configuration pages (or
// without a remap entry, so no page is read).
void groupMessage(benchmark::State &state, bool pages)
{
    Bench bench(pages);
    for (auto _ : Measured::loop(state))
        sendGroupMessage(bench);
    benchmark::DoNotOptimize(bench.receiver->count);
}

// Its floor: the same 16 emissions with their texts decoded from local 8-bit bytes, the
// records the message changes (with pages, all 80 of the group) written under the mutex,
// and one stat of the configuration file.
void groupMessageFloor(benchmark::State &state, bool pages)
{
    Bench bench(pages);
    const QVector<Announcement> announced = bench.recordAnnouncements(sendGroupMessage);
    QVector<QByteArray> bytes;
    for (const Announcement &a : announced)
        bytes << a.first.toLocal8Bit() << a.second.toLocal8Bit();
    const QByteArray path = QFile::encodeName(ConfigFiles::keyboardConfigPath());
    const int changed = pages ? 80 : Keys;
    uchar records[80][Model_VOrnParam::OledKeyRecordSize] = {};
    Processor *processor = bench.processor.get();
    for (auto _ : Measured::loop(state)) {
        struct stat status;
        benchmark::DoNotOptimize(::stat(path.constData(), &status));
        announceDecoding(processor, announced, bytes);
        QMutexLocker locker(&bench.session.mutex);
        for (int i = 0; i < changed; ++i)
            std::memcpy(bench.session.model.oledKeyRecords[160 + i], records[i],
                        Model_VOrnParam::OledKeyRecordSize);
    }
    benchmark::DoNotOptimize(bench.receiver->count);
}

// For comparison: reading the 80 pages of the configuration file into a table, which the
// processor does once per generation of the file.
void pageTableRead(benchmark::State &state)
{
    Bench bench;
    for (auto _ : Measured::loop(state))
        benchmark::DoNotOptimize(OledPageTable::read(ConfigFiles::keyboardConfigPath()));
}

// The full OLED refresh: 89 keys from a model with different content in every record, a
// single call of the GUI thread at its largest input; max_gui_block_ms is the longest call.
void fullRefresh(benchmark::State &state)
{
    Bench bench;
    qint64 longest = 0;
    QElapsedTimer clock;
    for (auto _ : Measured::loop(state)) {
        clock.start();
        refresh(bench);
        longest = qMax(longest, clock.nsecsElapsed());
    }
    state.counters["max_gui_block_ms"] = double(longest) / 1e6;
    benchmark::DoNotOptimize(bench.receiver->count);
}

// The same 89 emissions alone, their arguments made beforehand.
void fullRefreshEmissions(benchmark::State &state)
{
    Bench bench;
    const QVector<Announcement> announced = bench.recordAnnouncements(refresh);
    for (auto _ : Measured::loop(state))
        announce(bench.processor.get(), announced);
    benchmark::DoNotOptimize(bench.receiver->count);
}

// Its floor: the same 89 emissions with the one step every refresh must take on top,
// decoding the 178 texts from local 8-bit bytes into fresh strings.
void fullRefreshFloor(benchmark::State &state)
{
    Bench bench;
    const QVector<Announcement> announced = bench.recordAnnouncements(refresh);
    QVector<QByteArray> bytes;
    for (const Announcement &a : announced)
        bytes << a.first.toLocal8Bit() << a.second.toLocal8Bit();
    Processor *processor = bench.processor.get();
    for (auto _ : Measured::loop(state)) {
        announceDecoding(processor, announced, bytes);
    }
    benchmark::DoNotOptimize(bench.receiver->count);
}

} // namespace

BENCHMARK_CAPTURE(groupMessage, pages, true)->Apply(Measured::runs<1000>);
BENCHMARK_CAPTURE(groupMessageFloor, pages, true)->Apply(Measured::runs<1000>);
BENCHMARK(pageTableRead)->Apply(Measured::runs<20>);
BENCHMARK_CAPTURE(groupMessage, noPages, false)->Apply(Measured::runs<1000>);
BENCHMARK_CAPTURE(groupMessageFloor, noPages, false)->Apply(Measured::runs<1000>);
BENCHMARK(fullRefresh)->Apply(Measured::runs<1000>);
BENCHMARK(fullRefreshFloor)->Apply(Measured::runs<1000>);
BENCHMARK(fullRefreshEmissions)->Apply(Measured::runs<1000>);
