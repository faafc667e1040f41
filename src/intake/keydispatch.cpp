#include "combinebytes.h"
#include "keygroups.h"
#include "tbarrecord.h"
#include "tbarscale.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <uiproctake.h>
#include <utility_manage.h>

#include <QtCore/QDebug>

#include <algorithm>
#include <iterator>

namespace {

using Self = UiprocDealKeyPress_Vorn_Desktop;

const quint16 TbarKey = TbarRecord::TbarKeyCode;
const quint16 FirstDigitKey = 20;
const quint16 LastDigitKey = 29;
const quint16 DeviceLockKey = 214;
const quint16 FunctionTabKey = 87;

const int KeyRateWindowMs = 500;
const int TbarCheckDelayMs = 120;
// A T-bar position this far from the last one waits for the check timer.
const int TbarJumpThreshold = 601;

// Device types whose key 214 locks and unlocks the other keys.
const int LockingDeviceTypes[] = {0xA00000, 0x800000};

// What one key press passes on to the action of its key table row.
struct KeyPress
{
    quint16 key;
    quint16 first; // first key value of the matched row
    uchar dataA;
    uchar dataB;
};

using KeyAction = void (*)(Self *, const KeyPress &);

struct KeyRow
{
    quint16 first;
    quint16 last;
    KeyAction action;
};

// Rows sorted by key value; a value without a row goes out as an "other" key.
const KeyRow KeyRows[] = {
        {13, 16,
         [](Self *s, const KeyPress &p) {
             const int step = combineBytes(p.dataA, p.dataB);
             emit s->sig_Rocker(p.key - 13, step, 0);
             emit s->sigKeyValueForTest(p.key, step, 0);
         }},
        {17, 18,
         [](Self *s, const KeyPress &p) {
             emit s->sig_Rocker(p.key - 9, p.dataA, p.dataB);
             emit s->sigKeyValueForTest(p.key, p.dataA, p.dataB);
         }},
        {20, 29, [](Self *s, const KeyPress &p) { emit s->sig_numberKey(p.key - p.first); }},
        {31, 31, [](Self *s, const KeyPress &) { emit s->sig_enter(); }},
        {32, 32, [](Self *s, const KeyPress &) { emit s->sig_deleteNum(); }},
        {56, 56, [](Self *s, const KeyPress &) { emit s->sig_doTake(); }},
        {57, 57, [](Self *s, const KeyPress &) { emit s->sig_doCut(); }},
        {58, 58, [](Self *s, const KeyPress &) { emit s->sig_dimmer(); }},
        {59, 59, [](Self *s, const KeyPress &) { emit s->sig_black(); }},
        {60, 60, [](Self *s, const KeyPress &) { emit s->sig_wipe(); }},
        {61, 61, [](Self *s, const KeyPress &) { emit s->sig_mix(); }},
        {62, 62, [](Self *s, const KeyPress &) { emit s->sig_matchPGM(); }},
        {63, 63, [](Self *s, const KeyPress &) { emit s->sig_freezePST(); }},
        {64, 64, [](Self *s, const KeyPress &) { emit s->sig_freezePGM(); }},
        {65, 65, [](Self *, const KeyPress &) {}},
        {66, 66, [](Self *s, const KeyPress &) { emit s->sig_sel(); }},
        {79, 79, [](Self *, const KeyPress &) {}},
        {80, 80, [](Self *s, const KeyPress &) { emit s->sig_deleteNum(); }},
        {86, 86, [](Self *s, const KeyPress &) { emit s->sig_enter(); }},
        {87, 87, [](Self *s, const KeyPress &) { emit s->sig_tab(); }},
        {100, 100, [](Self *s, const KeyPress &) { emit s->sig_sync(); }},
        {101, 101, [](Self *s, const KeyPress &) { emit s->sig_BankPageUp(); }},
        {102, 102, [](Self *s, const KeyPress &) { emit s->sig_BankPageDown(); }},
        {103, 103, [](Self *s, const KeyPress &) { emit s->sig_BankSave(); }},
        {104, 104, [](Self *s, const KeyPress &) { emit s->sig_BankClear(); }},
        {105, 120, [](Self *s, const KeyPress &p) { emit s->sig_changeBank(p.key - p.first); }},
        {200, 200, [](Self *s, const KeyPress &) { emit s->sig_shortCutUserDefine(); }},
        {201, 201, [](Self *s, const KeyPress &) { emit s->sig_shortCutUp(); }},
        {202, 202, [](Self *s, const KeyPress &) { emit s->sig_shortCutDown(); }},
        {203, 218, [](Self *s, const KeyPress &p) { emit s->sig_shortCut(p.key - p.first); }},
        {219, 219, [](Self *s, const KeyPress &) { emit s->sig_testPattern(); }},
        {300, 300, [](Self *s, const KeyPress &) { emit s->sig_changeSelect(); }},
        {301, 301, [](Self *s, const KeyPress &) { emit s->sig_LayerPageUp(); }},
        {302, 302, [](Self *s, const KeyPress &) { emit s->sig_LayerPageDown(); }},
        {303, 303, [](Self *s, const KeyPress &) { emit s->sig_allLayers(); }},
        {304, 304, [](Self *s, const KeyPress &) { emit s->sig_deleteLayer(); }},
        {305, 305, [](Self *s, const KeyPress &p) { emit s->sig_setScale(p.key); }},
        {306, 306, [](Self *s, const KeyPress &) { emit s->sig_maximize(); }},
        {307, 307, [](Self *s, const KeyPress &p) { emit s->sig_setPos(p.key); }},
        {308, 308, [](Self *s, const KeyPress &) { emit s->sig_setCrop(); }},
        {309, 309,
         [](Self *s, const KeyPress &) { emit s->sig_layerAttribute(QStringLiteral("X")); }},
        {310, 310,
         [](Self *s, const KeyPress &) { emit s->sig_layerAttribute(QStringLiteral("Y")); }},
        {311, 311,
         [](Self *s, const KeyPress &) { emit s->sig_layerAttribute(QStringLiteral("H")); }},
        {312, 312,
         [](Self *s, const KeyPress &) { emit s->sig_layerAttribute(QStringLiteral("V")); }},
        {313, 328, [](Self *s, const KeyPress &p) { emit s->sig_creatNewLayer(p.key - p.first); }},
        {400, 400, [](Self *s, const KeyPress &) { emit s->sig_inputUser(); }},
        {401, 401, [](Self *s, const KeyPress &) { emit s->sig_inputPageUp(); }},
        {402, 402, [](Self *s, const KeyPress &) { emit s->sig_inputPageDown(); }},
        {403, 418, [](Self *s, const KeyPress &p) { emit s->sig_changeInput(p.key - p.first); }},
        {500, 500, [](Self *s, const KeyPress &) { emit s->sig_outputUser(); }},
        {501, 501, [](Self *s, const KeyPress &) { emit s->sig_outputPageUp(); }},
        {502, 502, [](Self *s, const KeyPress &) { emit s->sig_outputPageDown(); }},
        {503, 503, [](Self *s, const KeyPress &) { emit s->sig_allOutPut(); }},
        {504, 504, [](Self *s, const KeyPress &) { emit s->sig_clearOutput(); }},
        {505, 520, [](Self *s, const KeyPress &p) { emit s->sig_changeOutput(p.key - p.first); }},
        {601, 604,
         [](Self *s, const KeyPress &p) {
             emit s->sig_Rocker(p.key - 597, p.dataA, p.dataB);
             emit s->sigKeyValueForTest(p.key, p.dataA, p.dataB);
         }},
};

// Keys that the version-2 keyboard layout serves directly, before the remap.
const KeyRow DirectKeyRows[] = {
        {67, 78, [](Self *s, const KeyPress &p) { emit s->sig_shortCut(p.key - p.first); }},
        {96, 99, [](Self *s, const KeyPress &p) { emit s->sig_Move(p.key - p.first); }},
        {203, 218, [](Self *s, const KeyPress &p) { emit s->sig_Container(p.key - p.first); }},
        {611, 618, [](Self *s, const KeyPress &p) { emit s->sig_Knob(p.key - p.first); }},
};

template<std::size_t N>
const KeyRow *findRow(const KeyRow (&rows)[N], quint16 key)
{
    const KeyRow *end = rows + N;
    const KeyRow *row = std::upper_bound(rows, end, key,
                                         [](quint16 k, const KeyRow &r) { return k < r.first; });
    if (row == rows)
        return nullptr;
    --row;
    return key <= row->last ? row : nullptr;
}

bool isLockingDevice(int deviceType)
{
    return std::find(std::begin(LockingDeviceTypes), std::end(LockingDeviceTypes), deviceType)
            != std::end(LockingDeviceTypes);
}

bool armsKeyRateGuard(quint16 key)
{
    return key != TbarKey && (key < FirstDigitKey || key > LastDigitKey);
}

} // namespace

void UiprocDealKeyPress_Vorn_Desktop::dealKeyPress(model_Protocoldata message)
{
    const quint16 rawKey = combineBytes(message.byte2A, message.byte29);

    if (isLockingDevice(Utility_Manage::getDeviceType())) {
        if (rawKey == DeviceLockKey)
            m_keysBlocked = !m_keysBlocked;
        if (rawKey != TbarKey && m_keysBlocked)
            return;
    }

    if (!keyFlag) {
        emit sig_warrFreqMsg();
    } else if (armsKeyRateGuard(rawKey)) {
        keyTimer.start(KeyRateWindowMs);
        keyFlag = false;
    }

    const uchar dataA = message.dataA;
    const uchar dataB = message.subCommand;
    if (m_keyBoardVer == 2) {
        if (const KeyRow *row = findRow(DirectKeyRows, rawKey)) {
            row->action(this, {rawKey, row->first, dataA, dataB});
            return;
        }
    }

    emit sigKeyValueForTest(rawKey, 0, 0);

    const auto entry = m_model->keyMap.constFind(rawKey);
    const quint16 key = entry != m_model->keyMap.constEnd() ? quint16(entry.value()) : rawKey;

    if (key == TbarKey) {
        dealTbarKey(combineBytes(dataA, dataB));
        return;
    }

    emit sig_keyBoradValue(key);
    if (const KeyRow *row = findRow(KeyRows, key))
        row->action(this, {key, row->first, dataA, dataB});
    else
        emit sig_otherKeyBoradValue(key);
}

void UiprocDealKeyPress_Vorn_Desktop::dealTbarKey(quint16 raw)
{
    const int position = TbarScale::position(raw, m_tbarMin, m_tbarMax);
    const int alpha = TbarScale::alpha(position);
    if (alpha == m_alphaValue)
        return;

    m_tbarChanged = false;
    // The last position may be any int (QML's setter, another process's segment): the
    // distance is taken in 64 bits.
    if (qAbs(qint64(m_tbarTakeNum) - position) >= TbarJumpThreshold) {
        m_tbarChanged = true;
        m_timerCheckTbar.start(TbarCheckDelayMs);
        m_alphaValue = alpha;
        m_tbarTakeNum = position;
        return;
    }

    m_timerCheckTbar.stop();
    m_alphaValue = alpha;
    m_tbarTakeNum = position;
    UiprocTake *take = Public_Desktop::puiTake;
    if (Utility_Manage::getDbgList(1, 2)) {
        qDebug() << "------KEY_T_BAR-----------m_alphaValue/m_tbarTakeNum=" << m_alphaValue
                 << m_tbarTakeNum << take->getIsTbarMode();
        Utility_Manage::writeLogToQmlDebug(0, 2);
    }
    if (take->getIsTbarMode())
        take->dealTbar(m_alphaValue);
    emit sig_changeAlpha(m_alphaValue, position);
    emit sigKeyValueForTest(TbarKey, position, 0);
}

void UiprocDealKeyPress_Vorn_Desktop::deaGrouplKeyPress(unsigned short keyValue)
{
    if (keyValue == FunctionTabKey)
        emit sig_fnTab();
}

void UiprocDealKeyPress_Vorn_Desktop::updateKeyTimer()
{
    keyFlag = true;
    keyTimer.stop();
}

int UiprocDealKeyPress_Vorn_Desktop::keyTransform(int keyValue)
{
    return m_model->keyMap.value(keyValue, keyValue);
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
    static const int shortcutOfEffect[] = {0, 1, 10, 3, 5, 6, 12, 2, 4, 7, 8, 13, 9, 11, 14, 0};
    if (nEffectIndex < 0 || nEffectIndex >= int(std::size(shortcutOfEffect)))
        return nEffectIndex;
    return shortcutOfEffect[nEffectIndex];
}
