#include "logging.h"
#include "tbarrecord.h"
#include "tbartracker.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <utility_manage.h>

#include <QtCore/QFile>

#include <cstring>

#include <unistd.h>

namespace {

const int NothingNew = -1;
const int Read = 100;

// With System V keys Qt keeps a file per segment in the temporary folder, made before the
// segment and removed after it. Without the file there is no segment to attach to, and
// attach() would make and remove a semaphore, with its own key file, to find that out.
// Such a native key is the file's path; a POSIX key is a name right under the root.
bool segmentAbsent(const QSharedMemory &memory)
{
    const QString key = memory.nativeKey();
    return key.lastIndexOf(QLatin1Char('/')) > 0
            && ::access(QFile::encodeName(key).constData(), F_OK) != 0;
}

} // namespace

// Replaces the segment with a new one holding the record. Another process still attached
// to the old segment makes the creation fail; the write is then lost and reported.
void UiprocDealKeyPress_Vorn_Desktop::writeShareMemory(int keyCode, int value)
{
    const QString text = TbarRecord::text(keyCode, value);
    if (m_sharedMemory->isAttached() && !m_sharedMemory->detach()) {
        emit sig_writeSMSatus(text, m_sharedMemory->errorString());
        return;
    }
    const QByteArray record = TbarRecord::segment(text);
    if (!m_sharedMemory->create(record.size(), QSharedMemory::ReadWrite)) {
        if (Utility_Manage::getDbgList(1, 2)) {
            qCDebug(lcKeyboard).noquote() << m_sharedMemory->errorString();
            Utility_Manage::writeLogToQmlDebug(0, 2);
        }
        emit sig_writeSMSatus(text, m_sharedMemory->errorString());
        return;
    }
    if (!m_sharedMemory->lock()) {
        emit sig_writeSMSatus(text, m_sharedMemory->errorString());
        return;
    }
    std::memcpy(m_sharedMemory->data(), record.constData(), size_t(record.size()));
    m_sharedMemory->unlock();
    emit sig_writeSMSatus(text, QString());
}

// One poll of the segment: -1 when there is none to attach to (also while this process
// holds the segment it wrote) or when it holds the position already known, 100 otherwise.
int UiprocDealKeyPress_Vorn_Desktop::readShareMemory()
{
    if (segmentAbsent(*m_sharedMemory) || !m_sharedMemory->attach(QSharedMemory::ReadWrite))
        return NothingNew;
    if (!m_sharedMemory->lock()) {
        m_sharedMemory->detach();
        return NothingNew;
    }
    // One byte past the longest record is enough to tell an oversized segment.
    const int size = qMin(m_sharedMemory->size(), TbarRecord::MaxSegmentSize + 1);
    const QByteArray content(static_cast<const char *>(m_sharedMemory->constData()), size);
    m_sharedMemory->unlock();
    m_sharedMemory->detach();

    const std::optional<int> value = TbarRecord::tbarValue(content);
    if (!value)
        return Read;
    if (!m_tbar->channelValue(*value))
        return NothingNew;
    qCDebug(lcKeyboard) << "----------nValue=" << *value;
    emit sig_changeAlpha(m_tbar->alphaValue(), *value);
    emit sigKeyValueForTest(TbarRecord::TbarKeyCode, *value, 0);
    return Read;
}
