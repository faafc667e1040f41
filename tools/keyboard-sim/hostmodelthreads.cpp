#include "hostmodelthreads.h"

#include "keygroups.h"
#include "oledkeyrecord.h"

#include <QtCore/QThread>

#include <algorithm>
#include <cstring>

namespace {

const int BankGroup = 1;
const int StampedKey = 58;
const int LineLength = 10;
// Far beyond any message or hold of the mutex: a GUI thread that takes that long is
// stuck on the mutex and would never return to say so.
const int StuckTimeout = 10000;
const char Stuck[] = "The GUI thread is stuck on the host's mutex: locked twice, or held "
                     "over an emission?";

struct Range
{
    int offset; // in the plain block of the model
    int size;
};

int recordOffset(int index)
{
    return int(offsetof(Model_VOrnParam, oledKeyRecords))
            + index * Model_VOrnParam::OledKeyRecordSize;
}

Range records(int first, int count)
{
    return {recordOffset(first), count * Model_VOrnParam::OledKeyRecordSize};
}

uchar *plainBlock(Model_VOrnParam &model)
{
    return reinterpret_cast<uchar *>(&model);
}

// What a stream message writes into a record: its stamp in both texts and the stamp's
// low byte as display model. "torn" for a record holding anything else.
QByteArray stampIn(const uchar *plain, int index)
{
    const OledKeyRecord record(const_cast<uchar *>(plain) + recordOffset(index));
    const std::string_view first = record.text(OledKeyRecord::FirstLine);
    const QByteArray stamp(first.data(), int(first.size()));
    const bool whole = first == record.text(OledKeyRecord::SecondLine)
            && record.displayModel() == uchar(stamp.toInt());
    return whole ? stamp : QByteArrayLiteral("torn");
}

QByteArray stampedLine(int n)
{
    return QByteArray::number(n).leftJustified(LineLength, '\0');
}

} // namespace

struct HostModelThreads::Writer
{
    std::vector<Range> ranges;
    bool owns; // the library never writes these parts
    uchar last = 0;
};

HostModelThreads::HostModelThreads(HostSession &session)
    : m_session(session), m_writers(writtenParts())
{ }

HostModelThreads::~HostModelThreads()
{
    stop();
}

void HostModelThreads::start(int parts)
{
    if (parts & Writers) {
        for (Writer &writer : m_writers)
            run(m_steps, [this, &writer] { write(writer); });
    }
    for (int i = 0; i < 2 && (parts & Readers); ++i) {
        auto copy = std::make_shared<std::vector<uchar>>(Model_VOrnParam::PlainBlockSize);
        run(m_steps, [this, copy] { read(*copy); });
    }
    if (parts & Readers) {
        auto copy = std::make_shared<std::vector<uchar>>(Model_VOrnParam::PlainBlockSize);
        run(m_holdRequests, [this, copy] { read(*copy, &m_holding); });
    }
}

void HostModelThreads::stop()
{
    m_stop = true;
    m_steps.release(int(m_threads.size()));
    m_holdRequests.release();
    for (const auto &thread : m_threads)
        thread->wait();
    m_threads.clear();
    for (QSemaphore *turns : {&m_steps, &m_holdRequests})
        turns->acquire(turns->available());
    m_stop = false;
}

void HostModelThreads::letStep()
{
    m_steps.release();
}

void HostModelThreads::holdMutexNow()
{
    m_holdRequests.release();
    if (!m_holding.tryAcquire(1, StuckTimeout))
        qFatal("%s", Stuck);
}

// Each turn taken from `turns` is one step under the mutex.
void HostModelThreads::run(QSemaphore &turns, const std::function<void()> &step)
{
    const bool paced = &turns == &m_steps;
    m_threads.emplace_back(QThread::create([this, &turns, step, paced] {
        for (bool last = false; !last;) {
            if (!turns.tryAcquire(1, paced ? StuckTimeout : -1)) // requests: any time
                qFatal("%s", Stuck);
            last = m_stop;
            lock();
            step();
            m_session.mutex.unlock();
        }
    }));
    m_threads.back()->start();
}

void HostModelThreads::lock()
{
    if (!m_session.mutex.tryLock(StuckTimeout))
        qFatal("%s", Stuck);
}

// Finds its last write where the library never writes, then writes the next value,
// yielding half-way so that whoever reads without the mutex meets a half-written state.
void HostModelThreads::write(Writer &writer)
{
    uchar *plain = plainBlock(m_session.model);
    for (const Range &range : writer.ranges) {
        if (writer.owns
            && std::count(plain + range.offset, plain + range.offset + range.size, writer.last)
                    != range.size)
            found(QStringLiteral("a host write at %1 was lost").arg(range.offset));
    }
    m_checkedWrites += writer.owns;
    ++writer.last;
    for (size_t i = 0; i < writer.ranges.size(); ++i) {
        if (i == writer.ranges.size() / 2)
            QThread::yieldCurrentThread();
        std::memset(plain + writer.ranges[i].offset, writer.last, size_t(writer.ranges[i].size));
    }
    ++m_writes;
}

// Copies the model (and says so to `copied`), checks the copy, yields, and finds the
// model unchanged.
void HostModelThreads::read(std::vector<uchar> &copy, QSemaphore *copied)
{
    const uchar *plain = plainBlock(m_session.model);
    std::memcpy(copy.data(), plain, copy.size());
    if (copied)
        copied->release();
    const QString wrong = wrongIn(copy.data());
    if (!wrong.isEmpty())
        found(wrong);
    QThread::yieldCurrentThread();
    if (std::memcmp(copy.data(), plain, copy.size()))
        found(QStringLiteral("the model changed while a host thread held the mutex"));
    ++m_reads;
}

QString HostModelThreads::wrongIn(const uchar *plain) const
{
    for (const Writer &writer : m_writers) {
        const uchar value = plain[writer.ranges.front().offset];
        for (const Range &range : writer.ranges) {
            if (std::count(plain + range.offset, plain + range.offset + range.size, value)
                != range.size)
                return QStringLiteral("a host write at %1 half done").arg(range.offset);
        }
    }
    // A group message's records are written back at once.
    QByteArrayList stamps{stampIn(plain, OledKeyRecord::keyIndex(StampedKey))};
    for (int slot = 0; slot < KeyGroups::KeysPerGroup; ++slot)
        stamps << stampIn(plain, OledKeyRecord::groupIndex(BankGroup, 0, slot));
    if (stamps.contains("torn") || stamps.mid(1).count(stamps[1]) != KeyGroups::KeysPerGroup)
        return QStringLiteral("records torn: ") + QString::fromLatin1(stamps.join(' '));
    return QString();
}

void HostModelThreads::found(const QString &what)
{
    QMutexLocker locker(&m_findingsLock);
    if (m_findings.size() < 5)
        m_findings << what;
}

QStringList HostModelThreads::findings() const
{
    QMutexLocker locker(&m_findingsLock);
    return m_findings;
}

void HostModelThreads::send(int n)
{
    const QByteArray lines = stampedLine(n) + stampedLine(n);
    switch (n % 4) {
    case 0:
        m_session.send(hostMessage(
                0xf1, 0x41, BankGroup, 0, 0,
                (char(n) + QByteArray(1, '\0') + lines).repeated(KeyGroups::KeysPerGroup)));
        break;
    case 1:
        m_session.send(hostMessage(
                0xf1, 0x43, 0, 0, 0,
                QByteArray(1, '\0') + char(StampedKey) + char(n) + '\0' + lines));
        break;
    case 2:
        m_session.send(keyEvent(405));
        break;
    default:
        m_session.sendThroughUsb(keyEvent(10, uchar(n), uchar(n >> 8 & 3)));
        break;
    }
    letStep();
}

std::vector<HostModelThreads::Writer> HostModelThreads::writtenParts()
{
    const int keyRecord = OledKeyRecord::keyIndex(StampedKey);
    // Fields and records the library never writes, next to those it does.
    std::vector<Writer> writers{{{{0, recordOffset(0)}}, true},
                                {{records(KeyGroups::KeysPerGroup, 4 * KeyGroups::KeysPerGroup),
                                  records(keyRecord - 1, 1), records(keyRecord + 1, 1),
                                  records(900, Model_VOrnParam::OledKeyRecordCount - 900)},
                                 true}};
    // The bank keys' text lengths (bytes 5 to 7) and third lines (from 70), which
    // two-line messages leave alone.
    Writer bankRecords{{}, false};
    for (int slot = 0; slot < KeyGroups::KeysPerGroup; ++slot)
        bankRecords.ranges.insert(bankRecords.ranges.end(),
                                  {{recordOffset(slot) + 5, 3}, {recordOffset(slot) + 70, 31}});
    writers.push_back(bankRecords);
    return writers;
}

void HostModelThreads::fillWrittenParts(Model_VOrnParam &model, uchar value)
{
    for (const Writer &writer : writtenParts()) {
        for (const Range &range : writer.ranges)
            std::memset(plainBlock(model) + range.offset, value, size_t(range.size));
    }
}
