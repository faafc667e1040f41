#include "panelstate.h"

#include "keynames.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <algorithm>
#include <iterator>

namespace {

const int NoticeIntervalMilliseconds = 100;
const uchar KeyEventCommand = 0xa0;
// The message classes the intake takes; it drops the others before looking at them.
const quint32 KeyboardClasses[] = {0x400000, 0x400100};

bool isKeyEvent(const model_Protocoldata &message)
{
    return message.command == KeyEventCommand
            && std::find(std::begin(KeyboardClasses), std::end(KeyboardClasses),
                         message.messageClass)
            != std::end(KeyboardClasses);
}

} // namespace

PanelState::PanelState(const Model_VOrnParam &model, QObject *parent)
    : QObject(parent), m_model(model)
{
    connect(&UiprocDealKeyPress_Vorn_Desktop::keyTimer, &QTimer::timeout, this,
            &PanelState::updateGuard);
    m_noticeInterval.setSingleShot(true);
    m_noticeInterval.setInterval(NoticeIntervalMilliseconds);
    connect(&m_noticeInterval, &QTimer::timeout, this, [this] {
        if (!m_pendingNotice.isEmpty())
            flush();
    });
}

void PanelState::attach(UiprocDealKeyPress_Vorn_Desktop *processor)
{
    m_processor = processor;
    readTbarRange();
    readRemaps();
    updateGuard();
}

void PanelState::messageObserved(const model_Protocoldata &message, bool handled)
{
    if (!isKeyEvent(message))
        return;
    m_watching = !handled;
    if (!handled) {
        m_emissions.clear();
        return;
    }
    const int key = message.byte2A << 8 | message.byte29;
    const KeyOutcome::Event event{key, message.subCommand, m_remaps.contains(QString::number(key))};
    const KeyOutcome outcome = KeyOutcome::judge(event, m_emissions, m_keys);
    setKeyState(outcome.state);
    updateGuard();
    if (!outcome.notice.isEmpty())
        showNotice(outcome.notice);
}

void PanelState::signalEmitted(const QMetaMethod &signal, const QVariantList &arguments)
{
    if (m_watching)
        m_emissions.append({signal.name(), arguments.value(0).toInt()});
}

void PanelState::callMade(const QByteArray &method)
{
    readRemaps();
    updateGuard();
    if (method == "readTbarIni")
        readTbarRange();
    if (method == "setLockState" && m_processor) {
        KeyOutcome::State state = m_keys;
        state.locked = m_processor->getLockState();
        setKeyState(state);
    }
}

void PanelState::flush()
{
    if (m_pendingNotice.isEmpty())
        return;
    m_notice = m_pendingNotice;
    m_pendingNotice.clear();
    emit noticeChanged();
    m_noticeInterval.start();
}

// The first notice of a while shows at once, the others at the end of the interval.
void PanelState::showNotice(const QString &notice)
{
    m_pendingNotice = notice;
    if (!m_noticeInterval.isActive())
        flush();
}

void PanelState::setKeyState(const KeyOutcome::State &state)
{
    if (state.locked == m_keys.locked && state.fnHeld == m_keys.fnHeld
        && state.deviceLock == m_keys.deviceLock)
        return;
    m_keys = state;
    emit keyStateChanged();
}

void PanelState::updateGuard()
{
    const bool armed = !UiprocDealKeyPress_Vorn_Desktop::keyFlag;
    if (armed == m_guardArmed)
        return;
    m_guardArmed = armed;
    emit guardArmedChanged();
}

void PanelState::readTbarRange()
{
    m_tbarMin = m_processor->getTbarMin();
    m_tbarMax = m_processor->getTbarMax();
    emit tbarRangeChanged();
}

// A key whose entry names itself acts as itself; the processor acts on the entry's low
// 16 bits.
void PanelState::readRemaps()
{
    QVariantMap remaps;
    for (auto entry = m_model.keyMap.cbegin(); entry != m_model.keyMap.cend(); ++entry) {
        const int actsAs = quint16(entry.value());
        if (actsAs != entry.key())
            remaps.insert(QString::number(entry.key()), KeyNames::name(actsAs));
    }
    if (remaps == m_remaps)
        return;
    m_remaps = remaps;
    emit remapsChanged();
}
