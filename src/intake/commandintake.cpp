#include "combinebytes.h"
#include "keyboardidentity.h"
#include "panelframe.h"
#include "tbarscale.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <utility_manage.h>

#include <QtCore/QDebug>

namespace {

const quint32 KeyboardMessageClass = 0x400000;
const quint32 KeyboardReplyClass = 0x400100;
const int AnySubCommand = -1;

const quint16 LockKey = 0x41;
const quint16 GroupModifierKey = 0x53;
const uchar GroupModifierHeld = 5;

// Group OLED messages from tone processors newer than this carry three 30-byte lines.
const QString LastTwoLineToneVersion = QStringLiteral("1.02");

} // namespace

void UiprocDealKeyPress_Vorn_Desktop::taskCmdProcess(void *pvData)
{
    if (!pvData)
        return;
    // Work on a copy: the host's record is left as it is.
    const model_Protocoldata message = *static_cast<const model_Protocoldata *>(pvData);
    if (message.messageClass != KeyboardMessageClass && message.messageClass != KeyboardReplyClass)
        return;

    using Self = UiprocDealKeyPress_Vorn_Desktop;
    static const struct
    {
        uchar command;
        int subCommand;
        void (Self::*handler)(const model_Protocoldata &);
    } rows[] = {
            {0xa2, 0x02, &Self::takeKeyboardState},
            {0xa2, 0x15, &Self::takeKeyboardVersion},
            {0xa2, 0x18, &Self::takeTbarPosition},
            {0x6a, 0x11, &Self::takeSerialNumber},
            {0x9a, 0xb1, &Self::takeToneProcessorVersion},
            {0xf1, 0x43, &Self::takeKeyValueOled},
            {0xf1, 0x41, &Self::takeGroupOled},
            {0xa0, AnySubCommand, &Self::takeKeyEvent},
            {0x40, AnySubCommand, &Self::takePanelFrame},
    };
    for (const auto &row : rows) {
        if (row.command == message.command
            && (row.subCommand == AnySubCommand || row.subCommand == message.subCommand)) {
            (this->*row.handler)(message);
            return;
        }
    }
}

void UiprocDealKeyPress_Vorn_Desktop::takeKeyboardState(const model_Protocoldata &message)
{
    const bool toneConnected = message.dataA == 0 && message.byte29 == 0 && message.byte2A == 0;
    Utility_Manage::setConnectToneFlag(toneConnected);
    emit sigKeyBoradStates(toneConnected);
}

void UiprocDealKeyPress_Vorn_Desktop::takeKeyboardVersion(const model_Protocoldata &message)
{
    const quint16 version = combineBytes(message.byte29, message.byte2A);
    m_model->keyBoardVersion = version;
    emit sig_keyBoardVersion(version);
}

void UiprocDealKeyPress_Vorn_Desktop::takeTbarPosition(const model_Protocoldata &message)
{
    const quint16 raw = combineBytes(message.byte29, message.byte2A);
    qDebug() << "------------------------------------------------------nTbarValue=" << raw;
    emit sigTbarValue(TbarScale::position(raw, m_tbarMin, m_tbarMax));
}

void UiprocDealKeyPress_Vorn_Desktop::takeSerialNumber(const model_Protocoldata &message)
{
    emit sigKeyBoardSN(KeyboardIdentity::serialNumber(message.dataA, message.byte29));
}

void UiprocDealKeyPress_Vorn_Desktop::takeToneProcessorVersion(const model_Protocoldata &message)
{
    Model_VOrnParam::gOledLength = KeyboardIdentity::oledLineLength(message.byte29, message.byte2A);
    const QString version = KeyboardIdentity::toneProcessorVersion(message.byte29, message.byte2A);
    Utility_Manage::setToneProcVer(version);
    emit sendUpdateVersion(version);
}

void UiprocDealKeyPress_Vorn_Desktop::takeKeyValueOled(const model_Protocoldata &message)
{
    updateModelDataByKeyValue(message);
}

void UiprocDealKeyPress_Vorn_Desktop::takeGroupOled(const model_Protocoldata &message)
{
    if (Utility_Manage::getToneProcVer() > LastTwoLineToneVersion)
        updateModelDataByGroupID_3R(message);
    else
        updateModelDataByGroupID(message);
}

void UiprocDealKeyPress_Vorn_Desktop::takeKeyEvent(const model_Protocoldata &message)
{
    const quint16 key = combineBytes(message.byte2A, message.byte29);
    if (m_lockState) {
        if (key == LockKey) {
            m_lockState = false;
            emit sig_lock();
        } else {
            emit sig_updateLockState(key);
        }
        return;
    }
    if (key == LockKey) {
        m_lockState = true;
        emit sig_lock();
        return;
    }
    if (key == GroupModifierKey) {
        m_groupKeyMode = message.subCommand == GroupModifierHeld;
        return;
    }
    if (m_groupKeyMode) {
        qDebug() << "-----------------------------deal GroupKey-----------=" << key;
        deaGrouplKeyPress(key);
        return;
    }
    dealKeyPress(message);
}

void UiprocDealKeyPress_Vorn_Desktop::takePanelFrame(const model_Protocoldata &message)
{
    const PanelFrame frame = PanelFrame::decode(message.payload, message.subCommand);
    switch (frame.kind()) {
    case PanelFrame::Ignored:
        return;
    case PanelFrame::TbarValue: {
        qDebug("........DAT3: %x", frame.tbarHigh());
        qDebug("........DAT4: %x", frame.tbarLow());
        const quint16 raw = combineBytes(frame.tbarHigh(), frame.tbarLow());
        qDebug() << "------------------------------------------------------nTbarValue=" << raw;
        emit sigTbarValue(raw);
        return;
    }
    case PanelFrame::Bank:
        emit sig_changeBank(frame.index());
        break;
    case PanelFrame::Output:
        emit sig_changeOutput(frame.index());
        break;
    case PanelFrame::Input:
        emit sig_changeInput(frame.index());
        break;
    case PanelFrame::Cut:
        emit sig_doCut();
        break;
    case PanelFrame::Take:
        qDebug() << "----------take";
        emit sig_doTake();
        break;
    case PanelFrame::NoAction:
        break;
    }
    qDebug() << "///////////// nKey :" << frame.loggedKey();
}
