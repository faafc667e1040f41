#include "combinebytes.h"
#include "keyboardidentity.h"
#include "logging.h"
#include "panelframe.h"
#include "sessionrecorder.h"
#include "tbartracker.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <utility_manage.h>


namespace {

const quint32 KeyboardMessageClass = 0x400000;
const quint32 KeyboardReplyClass = 0x400100;
const int AnySubCommand = -1;

// Group OLED messages from tone processors newer than this carry three 30-byte lines.
const QString LastTwoLineToneVersion = QStringLiteral("1.02");

} // namespace

// Inlined into taskCmdProcess, its one caller: every message passes here.
Q_ALWAYS_INLINE void UiprocDealKeyPress_Vorn_Desktop::dispatch(const model_Protocoldata &message)
{
    if (message.messageClass != KeyboardMessageClass && message.messageClass != KeyboardReplyClass)
        return;
    // Key events come most often: a direct call, which the compiler can see through.
    if (message.command == 0xa0) {
        handleKeyEvent(message);
        return;
    }

    using Self = UiprocDealKeyPress_Vorn_Desktop;
    static const struct
    {
        uchar command;
        int subCommand;
        void (Self::*handler)(const model_Protocoldata &);
    } rows[] = {
            // OLED content comes most often.
            {0xf1, 0x41, &Self::handleGroupOled},
            {0xa2, 0x02, &Self::handleKeyboardState},
            {0xa2, 0x15, &Self::handleKeyboardVersion},
            {0xa2, 0x18, &Self::handleTbarPosition},
            {0x6a, 0x11, &Self::handleSerialNumber},
            {0x9a, 0xb1, &Self::handleToneProcessorVersion},
            {0xf1, 0x43, &Self::handleKeyValueOled},
            {0x40, AnySubCommand, &Self::handlePanelFrame},
    };
    for (const auto &row : rows) {
        if (row.command == message.command
            && (row.subCommand == AnySubCommand || row.subCommand == message.subCommand)) {
            (this->*row.handler)(message);
            return;
        }
    }
}

void UiprocDealKeyPress_Vorn_Desktop::taskCmdProcess(void *pvData)
{
    if (!pvData)
        return;
    // The host keeps the record alive until this slot returns and this library never
    // changes it. Handlers read what they need before they emit; the OLED updates, which
    // read on between emissions, hold their own reference to the payload.
    const model_Protocoldata &message = *static_cast<const model_Protocoldata *>(pvData);
    SessionRecorder *recorder = SessionRecorder::active();
    if (recorder)
        recorder->message(pvData, message);
    dispatch(message);
    if (recorder && recorder == SessionRecorder::active())
        recorder->messageHandled();
}

void UiprocDealKeyPress_Vorn_Desktop::handleKeyboardState(const model_Protocoldata &message)
{
    const bool toneConnected = message.dataA == 0 && message.byte29 == 0 && message.byte2A == 0;
    Utility_Manage::setConnectToneFlag(toneConnected);
    emit sigKeyBoradStates(toneConnected);
}

void UiprocDealKeyPress_Vorn_Desktop::handleKeyboardVersion(const model_Protocoldata &message)
{
    if (!hostHas(HostModel))
        return;
    const quint16 version = combineBytes(message.byte29, message.byte2A);
    m_model->keyBoardVersion = version;
    emit sig_keyBoardVersion(version);
}

void UiprocDealKeyPress_Vorn_Desktop::handleTbarPosition(const model_Protocoldata &message)
{
    const quint16 raw = combineBytes(message.byte29, message.byte2A);
    qCDebug(lcKeyboard) << "------------------------------------------------------nTbarValue=" << raw;
    emit sigTbarValue(TbarTracker::position(raw, m_tbar->min(), m_tbar->max()));
}

void UiprocDealKeyPress_Vorn_Desktop::handleSerialNumber(const model_Protocoldata &message)
{
    emit sigKeyBoardSN(KeyboardIdentity::serialNumber(message.dataA, message.byte29));
}

void UiprocDealKeyPress_Vorn_Desktop::handleToneProcessorVersion(const model_Protocoldata &message)
{
    Model_VOrnParam::gOledLength = KeyboardIdentity::oledLineLength(message.byte29, message.byte2A);
    const QString version = KeyboardIdentity::toneProcessorVersion(message.byte29, message.byte2A);
    Utility_Manage::setToneProcVer(version);
    emit sendUpdateVersion(version);
}

void UiprocDealKeyPress_Vorn_Desktop::handleKeyValueOled(const model_Protocoldata &message)
{
    updateModelDataByKeyValue(message);
}

void UiprocDealKeyPress_Vorn_Desktop::handleGroupOled(const model_Protocoldata &message)
{
    if (Utility_Manage::getToneProcVer() > LastTwoLineToneVersion)
        updateModelDataByGroupID_3R(message);
    else
        updateModelDataByGroupID(message);
}

void UiprocDealKeyPress_Vorn_Desktop::handlePanelFrame(const model_Protocoldata &message)
{
    const PanelFrame frame = PanelFrame::decode(message.payload, message.subCommand);
    switch (frame.kind()) {
    case PanelFrame::Ignored:
        return;
    case PanelFrame::TbarValue: {
        qCDebug(lcKeyboard, "........DAT3: %x", frame.tbarHigh());
        qCDebug(lcKeyboard, "........DAT4: %x", frame.tbarLow());
        const quint16 raw = combineBytes(frame.tbarHigh(), frame.tbarLow());
        qCDebug(lcKeyboard) << "------------------------------------------------------nTbarValue=" << raw;
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
        qCDebug(lcKeyboard) << "----------take";
        emit sig_doTake();
        break;
    case PanelFrame::NoAction:
        break;
    }
    qCDebug(lcKeyboard) << "///////////// nKey :" << frame.loggedKey();
}
