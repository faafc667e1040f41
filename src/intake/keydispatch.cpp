#include "combinebytes.h"
#include "keygroups.h"
#include "keyremap.h"
#include "keyrouter.h"
#include "logging.h"
#include "sessionrecorder.h"
#include "tbartracker.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <uiproctake.h>
#include <utility_manage.h>

#include <iterator>

namespace {

const int KeyRateWindowMs = 500;
const int TbarCheckDelayMs = 120;

} // namespace

KeyState UiprocDealKeyPress_Vorn_Desktop::keyState() const
{
    return {m_lockState, m_groupKeyMode, m_keysBlocked};
}

KeyRouter::Context UiprocDealKeyPress_Vorn_Desktop::keyContext() const
{
    return {!keyFlag, Utility_Manage::getDeviceType(), m_keyBoardVer, m_model->keyMap,
            m_keyRemap.get()};
}

// Inlined into the loop that follows a route: the key path makes no call per signal but
// the emission.
Q_ALWAYS_INLINE void UiprocDealKeyPress_Vorn_Desktop::emitKeySignal(const KeySignal &signal)
{
    const int *a = signal.args;
    // clang-format off
    switch (signal.name) {
    case KeySignal::KeyValueForTest: emit sigKeyValueForTest(a[0], a[1], a[2]); break;
    case KeySignal::KeyBoradValue: emit sig_keyBoradValue(a[0]); break;
    case KeySignal::OtherKeyBoradValue: emit sig_otherKeyBoradValue(a[0]); break;
    case KeySignal::WarrFreqMsg: emit sig_warrFreqMsg(); break;
    case KeySignal::Lock: emit sig_lock(); break;
    case KeySignal::UpdateLockState: emit sig_updateLockState(a[0]); break;
    case KeySignal::FnTab: emit sig_fnTab(); break;
    case KeySignal::ChangeBank: emit sig_changeBank(a[0]); break;
    case KeySignal::BankPageUp: emit sig_BankPageUp(); break;
    case KeySignal::BankPageDown: emit sig_BankPageDown(); break;
    case KeySignal::Sync: emit sig_sync(); break;
    case KeySignal::BankSave: emit sig_BankSave(); break;
    case KeySignal::BankClear: emit sig_BankClear(); break;
    case KeySignal::ShortCut: emit sig_shortCut(a[0]); break;
    case KeySignal::ShortCutUp: emit sig_shortCutUp(); break;
    case KeySignal::ShortCutDown: emit sig_shortCutDown(); break;
    case KeySignal::ShortCutUserDefine: emit sig_shortCutUserDefine(); break;
    case KeySignal::Black: emit sig_black(); break;
    case KeySignal::TestPattern: emit sig_testPattern(); break;
    case KeySignal::ChangeOutput: emit sig_changeOutput(a[0]); break;
    case KeySignal::OutputPageUp: emit sig_outputPageUp(); break;
    case KeySignal::OutputPageDown: emit sig_outputPageDown(); break;
    case KeySignal::OutputUser: emit sig_outputUser(); break;
    case KeySignal::AllOutPut: emit sig_allOutPut(); break;
    case KeySignal::ClearOutput: emit sig_clearOutput(); break;
    case KeySignal::CreatNewLayer: emit sig_creatNewLayer(a[0]); break;
    case KeySignal::LayerPageUp: emit sig_LayerPageUp(); break;
    case KeySignal::LayerPageDown: emit sig_LayerPageDown(); break;
    case KeySignal::ChangeSelect: emit sig_changeSelect(); break;
    case KeySignal::DeleteLayer: emit sig_deleteLayer(); break;
    case KeySignal::AllLayers: emit sig_allLayers(); break;
    case KeySignal::Maximize: emit sig_maximize(); break;
    case KeySignal::SetScale: emit sig_setScale(a[0]); break;
    case KeySignal::SetPos: emit sig_setPos(a[0]); break;
    case KeySignal::SetCrop: emit sig_setCrop(); break;
    case KeySignal::LayerAttribute: emit sig_layerAttribute(QString(QChar(a[0]))); break;
    case KeySignal::ChangeInput: emit sig_changeInput(a[0]); break;
    case KeySignal::InputPageUp: emit sig_inputPageUp(); break;
    case KeySignal::InputPageDown: emit sig_inputPageDown(); break;
    case KeySignal::InputUser: emit sig_inputUser(); break;
    case KeySignal::DeleteNum: emit sig_deleteNum(); break;
    case KeySignal::Tab: emit sig_tab(); break;
    case KeySignal::NumberKey: emit sig_numberKey(a[0]); break;
    case KeySignal::Enter: emit sig_enter(); break;
    case KeySignal::Rocker: emit sig_Rocker(a[0], a[1], a[2]); break;
    case KeySignal::DoTake: emit sig_doTake(); break;
    case KeySignal::DoCut: emit sig_doCut(); break;
    case KeySignal::MatchPGM: emit sig_matchPGM(); break;
    case KeySignal::FreezePST: emit sig_freezePST(); break;
    case KeySignal::FreezePGM: emit sig_freezePGM(); break;
    case KeySignal::Sel: emit sig_sel(); break;
    case KeySignal::Dimmer: emit sig_dimmer(); break;
    case KeySignal::Wipe: emit sig_wipe(); break;
    case KeySignal::Mix: emit sig_mix(); break;
    case KeySignal::Container: emit sig_Container(a[0]); break;
    case KeySignal::Knob: emit sig_Knob(a[0]); break;
    case KeySignal::Move: emit sig_Move(a[0]); break;
    }
    // clang-format on
}

// Inlined into the two key paths.
Q_ALWAYS_INLINE void UiprocDealKeyPress_Vorn_Desktop::followRoute(const KeyRoute &route)
{
    m_lockState = route.state.locked;
    m_groupKeyMode = route.state.groupKeyMode;
    m_keysBlocked = route.state.keysBlocked;
    if (route.armGuard) {
        keyTimer.start(KeyRateWindowMs);
        recordTimerStart(keyTimer);
        keyFlag = false;
    }
    for (int i = 0; i < route.count; ++i)
        emitKeySignal(route.emissions[i]);
    if (route.tbar)
        dealTbarKey(route.tbarRaw);
}

// The key path, flattened: the router and the emissions inline into one function.
[[gnu::flatten]]
void UiprocDealKeyPress_Vorn_Desktop::handleKeyEvent(const model_Protocoldata &message)
{
    if (!m_model && !hostHas(HostModel)) // reports the missing model
        return;
    const KeyRouter::Event event{combineBytes(message.byte2A, message.byte29), message.dataA,
                                 message.subCommand};
    const KeyRoute route = KeyRouter::keyEvent(event, keyState(), keyContext());
    if (route.groupKey)
        qCDebug(lcKeyboard) << "-----------------------------deal GroupKey-----------=" << event.key;
    followRoute(route);
}

void UiprocDealKeyPress_Vorn_Desktop::dealKeyPress(model_Protocoldata message)
{
    if (!hostHas(HostModel))
        return;
    const KeyRouter::Event event{combineBytes(message.byte2A, message.byte29), message.dataA,
                                 message.subCommand};
    followRoute(KeyRouter::keyPress(event, keyState(), keyContext()));
}

void UiprocDealKeyPress_Vorn_Desktop::dealTbarKey(int raw)
{
    if (!hostHas(HostTake))
        return;
    switch (m_tbar->keyReading(raw)) {
    case TbarTracker::Reading::Unchanged:
        return;
    case TbarTracker::Reading::Deferred:
        m_timerCheckTbar.start(TbarCheckDelayMs);
        recordTimerStart(m_timerCheckTbar);
        return;
    case TbarTracker::Reading::Applied:
        break;
    }
    m_timerCheckTbar.stop();
    if (Utility_Manage::getDbgList(1, 2)) {
        qCDebug(lcKeyboard) << "------KEY_T_BAR-----------m_alphaValue/m_tbarTakeNum=" << m_tbar->alphaValue()
                 << m_tbar->takeNum() << Public_Desktop::puiTake->getIsTbarMode();
        Utility_Manage::writeLogToQmlDebug(0, 2);
    }
    applyTbarPosition();
    emit sigKeyValueForTest(KeyRouter::TbarKey, m_tbar->takeNum(), 0);
}

void UiprocDealKeyPress_Vorn_Desktop::applyTbarPosition()
{
    UiprocTake *take = Public_Desktop::puiTake;
    if (take->getIsTbarMode())
        take->dealTbar(m_tbar->alphaValue());
    emit sig_changeAlpha(m_tbar->alphaValue(), m_tbar->takeNum());
}

void UiprocDealKeyPress_Vorn_Desktop::deaGrouplKeyPress(unsigned short keyValue)
{
    if (keyValue == KeyRouter::FunctionTabKey)
        emit sig_fnTab();
}

void UiprocDealKeyPress_Vorn_Desktop::updateKeyTimer()
{
    recordCall("updateKeyTimer");
    resetKeyGuard();
}

void UiprocDealKeyPress_Vorn_Desktop::resetKeyGuard()
{
    keyFlag = true;
    keyTimer.stop();
}

int UiprocDealKeyPress_Vorn_Desktop::keyTransform(int keyValue)
{
    if (!hostHas(HostModel))
        return keyValue;
    return KeyRemap::target(m_model->keyMap, keyValue).value_or(keyValue);
}

int UiprocDealKeyPress_Vorn_Desktop::getGroupIdByKeyValue(unsigned short keyValue)
{
    return KeyGroups::groupId(keyValue);
}

QByteArray UiprocDealKeyPress_Vorn_Desktop::f_GBKToUTF8(const QByteArray &bytes)
{
    return bytes;
}

int UiprocDealKeyPress_Vorn_Desktop::effectToShortIndex(int nEffectIndex)
{
    recordCall("effectToShortIndex", nEffectIndex);
    static const int shortcutOfEffect[] = {0, 1, 10, 3, 5, 6, 12, 2, 4, 7, 8, 13, 9, 11, 14, 0};
    if (nEffectIndex < 0 || nEffectIndex >= int(std::size(shortcutOfEffect)))
        return nEffectIndex;
    return shortcutOfEffect[nEffectIndex];
}
