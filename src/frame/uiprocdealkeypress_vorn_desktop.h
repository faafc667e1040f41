#ifndef UIPROCDEALKEYPRESS_VORN_DESKTOP_H
#define UIPROCDEALKEYPRESS_VORN_DESKTOP_H

#include <iuiprocbase.h>
#include <model_protocoldata.h>
#include <model_vornparam.h>

#include <QtCore/QByteArray>
#include <QtCore/QDir>
#include <QtCore/QMutex>
#include <QtCore/QSharedMemory>
#include <QtCore/QString>
#include <QtCore/QTimer>

#include <memory>

class KeyRemapCache;
class OledPageCache;
class TbarTracker;
struct KeyRoute;
struct KeyState;
struct KeySignal;
namespace KeyRouter {
struct Context;
}

/// Serves the hardware control keyboard for the QML user interface: decodes host
/// messages into signals, keeps the key OLED model current, holds the key remap and
/// carries the T-bar. QML creates it as "DealKeyPress"; signal and parameter names are
/// read by name from QML and must stay exactly as declared.
///
/// Threads: the object lives on the GUI thread. Every signal is emitted there, and every
/// slot, invokable and public method must be called there. The host's business and USB
/// objects may emit their messages from any thread: connectBIZ() connects them with
/// queued connections, so each message is handled later, on the GUI thread, and the
/// message must stay alive until then.
///
/// Ownership: the host owns the keyboard model, its mutex, the message records and the
/// business, USB and take-handling objects; the processor keeps pointers to them and
/// never deletes them. QML owns the processor.
///
/// Key values name the keyboard's keys: bank keys 105-120, shortcut keys 203-218, layer
/// keys 313-328, input keys 403-418, output keys 505-520, the T-bar 10.
class UiprocDealKeyPress_Vorn_Desktop : public IuiprocBase
{
    Q_OBJECT
public:
    /// Takes the model and mutex handed over with
    /// Public_Vorn_TaskCmdProcess_Desktop::setKeyBoardVar(), reads the T-bar calibration
    /// and the key remap from the configuration file, and, outside the T-bar process
    /// (boot argument "Tbar"), starts polling the other processes' T-bar position every
    /// 10 ms. Made by QML, without a parent.
    UiprocDealKeyPress_Vorn_Desktop();
    /// Detaches from the T-bar segment. Saves nothing and does not disconnect: call
    /// disconnectBIZ() first.
    ~UiprocDealKeyPress_Vorn_Desktop() override;

    /// A copy of the host's keyboard model (its records and its key remap table), made
    /// without the host's mutex. An empty model when no model was handed over.
    Model_VOrnParam getModel();
    /// Copies `model` over the host's keyboard model while holding the host's mutex.
    void setModel(Model_VOrnParam &model);

    /// Records the user's OLED settings of one key in the OLED configuration file (the
    /// profile that travels to a removable disk) and marks the key modified. `keyValue`
    /// names the key, `displayModel` and `iconIndex` are stored as given, the texts as
    /// local 8-bit bytes. For the host; not on the QML surface.
    void writeOledIni(int keyValue, int displayModel, int iconIndex, QString firstText,
                      QString secondText);

    /// Handles one key event (command 0xa0) as if it had arrived through taskCmdProcess()
    /// past the lock and modifier checks: key-rate guard, remap, then the key's signal.
    void dealKeyPress(model_Protocoldata message);
    /// A key pressed while the group-key modifier (key 83) is held: key 87 emits
    /// sig_fnTab(), any other key does nothing.
    void deaGrouplKeyPress(unsigned short keyValue);
    /// The key value `keyValue` acts as under the user's key remap: its target in the
    /// model's remap table, or `keyValue` itself when the key is not remapped.
    int keyTransform(int keyValue);
    /// The key group of a key value: 1 bank (105-120), 2 shortcut (203-215), 3 layer
    /// (313-328), 5 output (505-520), 6 input (403-418), 0 any other key.
    int getGroupIdByKeyValue(unsigned short keyValue);
    /// Returns `bytes` unchanged.
    QByteArray f_GBKToUTF8(const QByteArray &bytes);

    /// Writes a group OLED message (command 0xf1, sub-command 0x41, two lines of
    /// Model_VOrnParam::gOledLength bytes per key) into the model and emits
    /// sig_updateOledShow() per key. taskCmdProcess() calls it for tone-processor
    /// versions up to "1.02".
    void updateModelDataByGroupID(model_Protocoldata const &message);
    /// The same for tone-processor versions above "1.02": three 30-byte lines per key,
    /// and the user's OLED pages apply to every group.
    void updateModelDataByGroupID_3R(model_Protocoldata const &message);
    /// Writes a key OLED message (command 0xf1, sub-command 0x43) into the key's record
    /// and emits sig_updateOledShow() once.
    void updateModelDataByKeyValue(model_Protocoldata const &message);
    /// Writes a key OLED message of the counted layout (a count byte, then entries with
    /// their own text lengths) into the layer keys' records and emits
    /// sig_updateOledShow() per entry. No message the library receives takes this layout.
    void updateModelDataByKeyValue_New(model_Protocoldata const &message);

    /// Loads the key remap table from the keyboard configuration file into the model.
    void initVirtualKeyBoard();
    /// Saves the model's key remap table to the keyboard configuration file.
    void writeVirtualKeyBoard();

    /// Writes the record "KKK#VALUE" (key code `keyCode`, three digits) to the T-bar
    /// segment shared with the host's other processes and reports it with
    /// sig_writeSMSatus().
    void writeShareMemory(int keyCode, int value);
    /// Reads the T-bar segment once and applies a new position found there: -1 when there
    /// was no segment or it holds the position already held, else 100.
    int readShareMemory();

    /// Connects the host's message sources, uiprocmain_VORN_Desktop::biz_cmdswork
    /// (signalSendReceiveMessage) and uiprocmain_VORN_Desktop::icoreUSB (sigRecvTbar), to
    /// taskCmdProcess() with queued connections. The host sets both pointers and
    /// Public_Desktop::puiTake first, and calls this once per object, from QML
    /// (Component.onCompleted) or from C++; each further call without disconnectBIZ()
    /// makes every message arrive once more. Misuse is reported on the log.
    Q_INVOKABLE void connectBIZ() override;
    /// Disconnects both message sources (every connection connectBIZ() made) and saves the
    /// key remap table to the keyboard configuration file. Call it before the object goes.
    Q_INVOKABLE void disconnectBIZ() override;
    /// Remaps the physical key of the first argument to act as the key of the second
    /// (both key values) and saves the table; a remap to another key drops the key's
    /// OLED pages from the keyboard configuration file.
    Q_INVOKABLE void addModifyValue(int, int);
    /// Removes the remap of the physical key given (a key value) and its OLED pages.
    Q_INVOKABLE void resetButton(int);
    /// Clears the keyboard configuration file (remaps, OLED pages and T-bar calibration)
    /// and the remap table.
    Q_INVOKABLE void resetAllButton();
    /// Whether the physical key `keyBtn` is remapped to another key.
    Q_INVOKABLE bool readIsModify(int keyBtn);
    /// Where the physical key `keyBtn` is remapped to: 0-15 bank keys, 16-31 shortcut
    /// keys, 32-47 output keys, 48-63 layer keys, 64-79 input keys; -1 for no remap or
    /// another key.
    Q_INVOKABLE int readModifiedIndex(int keyBtn);
    /// Looks for a removable disk: the first folder under /media/root/ by name. True when
    /// one is there; the profile then goes to its V_ORN folder.
    Q_INVOKABLE bool scanUdisk();
    /// Copies the OLED configuration file (the profile) to
    /// /media/root/DISK/V_ORN/VORN_KeyBoard_Config.ini: 1 when done, -1 without a disk,
    /// -2 when the copy failed (the disk's earlier file then stays).
    Q_INVOKABLE int exportProfile();
    /// Copies the profile from the disk over the OLED configuration file and reloads the
    /// key remap: 1 when done, -1 without a disk, -2 when the copy failed (the local file
    /// then stays).
    Q_INVOKABLE int importProfile();
    /// Emits sig_updateOledShow() for each of the 89 OLED keys with what the model holds
    /// for it, so QML can draw every key at once.
    Q_INVOKABLE void getVirturalKeyBoardAllOLED();
    /// Locks (true) or unlocks the keyboard, as the lock key (65) does, without a signal:
    /// while locked, every key but the lock key emits only sig_updateLockState().
    Q_INVOKABLE void setLockState(bool state);
    /// Whether the keyboard is locked.
    Q_INVOKABLE bool getLockState();
    /// Passes `nTyte` and `log` unchanged to the host's Utility_Manage::writeLog_testTbar().
    Q_INVOKABLE void writeLogForTbarTest(int nTyte, QString log);
    /// Sets the last T-bar position (normally 0-1024; not checked) that the next reading
    /// is compared with; the alpha stays.
    Q_INVOKABLE void setTbarTakeNum(int value);
    /// The last T-bar position, 0-1024, or -1 before the first reading.
    Q_INVOKABLE int getTbarTakeNum();
    /// The T-bar calibration's upper limit: raw readings from it up give position 1024
    /// (1024 unless the file's Tbar/Max says otherwise).
    Q_INVOKABLE int getTbarMax();
    /// The T-bar calibration's lower limit: raw readings up to it give position 0 (0 unless
    /// the file's Tbar/Min says otherwise).
    Q_INVOKABLE int getTbarMin();
    /// Sets the keyboard layout version; 2 enables the direct keys (sig_Container(),
    /// sig_Knob(), sig_Move(), sig_shortCut() from 67-78). A negative value, and the call
    /// without argument, change nothing.
    Q_INVOKABLE void setKeyBoardVer(int nVer = -1);

    /// The key-rate guard's 500 ms timer, shared by every instance.
    static QTimer keyTimer;
    /// True while the key-rate guard is idle: no guarded key in the last 500 ms.
    static bool keyFlag;

signals:
    /// Keyboard state (0xa2/0x02): `isRun` is true when the tone processor is connected.
    void sigKeyBoradStates(bool isRun);
    /// The keyboard's serial number (0x6a/0x11), four lowercase hexadecimal digits.
    void sigKeyBoardSN(QString strSN);
    /// The keyboard's version (0xa2/0x15), 0-65535; 605 has 13 shortcut keys.
    void sig_keyBoardVersion(int value);
    /// Every key event before its remap: `nValue1` the key value; for rockers 13-18 and
    /// 601-604 the step or data bytes in `nValue2`, `nValue3`; for the T-bar (10) the
    /// position 0-1024 in `nValue2`.
    void sigKeyValueForTest(int nValue1, int nValue2 = 0, int nValue3 = 0);
    /// The tone processor's version (0x9a/0xb1) as "MAJOR.MM", or "-.-" when unknown.
    void sendUpdateVersion(QString str_ver);
    /// Bank key 105-120: `index` 0-15 (0-7 from a panel frame).
    void sig_changeBank(int index);
    /// Key 101: previous bank page.
    void sig_BankPageUp();
    /// Key 102: next bank page.
    void sig_BankPageDown();
    /// Key 100: sync.
    void sig_sync();
    /// Key 103: save bank.
    void sig_BankSave();
    /// Key 104: clear bank.
    void sig_BankClear();
    /// Shortcut key 203-218: `index` 0-15; with keyboard version 2, keys 67-78: 0-11.
    void sig_shortCut(int index);
    /// Key 201: previous shortcut page.
    void sig_shortCutUp();
    /// Key 202: next shortcut page.
    void sig_shortCutDown();
    /// Key 200: user-defined shortcuts.
    void sig_shortCutUserDefine();
    /// Key 59: black.
    void sig_black();
    /// Key 219: test pattern.
    void sig_testPattern();
    /// Output key 505-520: `index` 0-15 (0-7 from a panel frame).
    void sig_changeOutput(int index);
    /// Key 501: previous output page.
    void sig_outputPageUp();
    /// Key 502: next output page.
    void sig_outputPageDown();
    /// Key 500: user outputs.
    void sig_outputUser();
    /// Key 503: all outputs.
    void sig_allOutPut();
    /// Key 504: clear outputs.
    void sig_clearOutput();
    /// Layer key 313-328: `index` 0-15.
    void sig_creatNewLayer(int index);
    /// Key 301: previous layer page.
    void sig_LayerPageUp();
    /// Key 302: next layer page.
    void sig_LayerPageDown();
    /// Key 300: select.
    void sig_changeSelect();
    /// Key 304: delete layer.
    void sig_deleteLayer();
    /// Key 303: all layers.
    void sig_allLayers();
    /// Key 306: maximize.
    void sig_maximize();
    /// Key 305: scale; `KeyValue` is 305.
    void sig_setScale(int KeyValue);
    /// Key 307: position; `KeyValue` is 307.
    void sig_setPos(int KeyValue);
    /// Key 308: crop.
    void sig_setCrop();
    /// Input key 403-418: `index` 0-15 (0-7 from a panel frame).
    void sig_changeInput(int index);
    /// Key 401: previous input page.
    void sig_inputPageUp();
    /// Key 402: next input page.
    void sig_inputPageDown();
    /// Key 400: user inputs.
    void sig_inputUser();
    /// Keys 32 and 80: delete the last digit.
    void sig_deleteNum();
    /// Declared for the user interface; the library never emits it.
    void sig_caps();
    /// Declared for the user interface; the library never emits it.
    void sig_space();
    /// Key 87: tab.
    void sig_tab();
    /// Digit keys 20-29: `index` 0-9.
    void sig_numberKey(int index);
    /// Declared for the user interface; the library never emits it.
    void sig_dot();
    /// Declared for the user interface; the library never emits it.
    void sig_shift();
    /// Declared for the user interface; the library never emits it.
    void sig_ctrl();
    /// Keys 31 and 86: enter.
    void sig_enter();
    /// A rocker or knob turned. Keys 13-16: `index` 0-3, `stepLow` the 16-bit step (data
    /// bytes A and B; 1 is +1, 0xffff is -1), `stepHig` 0. Keys 601-604 (`index` 4-7) and
    /// 17-18 (`index` 8-9): data byte A in `stepLow`, data byte B in `stepHig`.
    void sig_Rocker(int index, int stepLow, int stepHig);
    /// Key 56, or a panel frame's take key: take.
    void sig_doTake();
    /// Key 57, or a panel frame's cut key: cut.
    void sig_doCut();
    /// Declared for the user interface; the library never emits it.
    void sig_doTbarTake();
    /// The T-bar moved: `value` the alpha 0-128, `defValue` the position 0-1024. For this
    /// keyboard's T-bar the alpha went to the host's take handling first (in T-bar mode).
    void sig_changeAlpha(int value, int defValue = 0);
    /// A T-bar value message: 0xa2/0x18 clamped to 0-1024 by the calibration, a panel
    /// frame's value (0-65535) as it came.
    void sigTbarValue(int nValue);
    /// Key 62: match PGM.
    void sig_matchPGM();
    /// Key 63: freeze PST.
    void sig_freezePST();
    /// Key 64: freeze PGM.
    void sig_freezePGM();
    /// The lock key (65) locked or unlocked the keyboard; ask getLockState().
    void sig_lock();
    /// Key 66: select.
    void sig_sel();
    /// Key 58: dimmer.
    void sig_dimmer();
    /// Key 60: wipe.
    void sig_wipe();
    /// Key 61: mix.
    void sig_mix();
    /// Every key event but the T-bar and the version-2 direct keys, after its remap:
    /// `index` the key value it acts as.
    void sig_keyBoradValue(int index);
    /// A key without an action of its own (for example 34, 81-85): `index` its key value.
    void sig_otherKeyBoradValue(int index);
    /// With keyboard version 2, keys 203-218: `index` 0-15.
    void sig_Container(int index);
    /// With keyboard version 2, keys 611-618: `index` 0-7.
    void sig_Knob(int index);
    /// With keyboard version 2, keys 96-99: `index` 0-3.
    void sig_Move(int index);
    /// Key 87 while the group-key modifier (key 83) is held.
    void sig_fnTab();
    /// A key's OLED content: `nKeyValue` the key, `nModel` the display model and `nIcon`
    /// the icon index (0-255), `strFirst` and `strSecend` the two text lines shown.
    /// Emitted for OLED messages and by getVirturalKeyBoardAllOLED().
    void sig_updateOledShow(int nKeyValue, int nModel, int nIcon, QString strFirst,
                            QString strSecend);
    /// A guarded key came within 500 ms of the key that armed the key-rate guard; the key
    /// still acts, its signals follow.
    void sig_warrFreqMsg();
    /// Keys 309-312: `value` "X", "Y", "H" or "V".
    void sig_layerAttribute(QString value);
    /// Declared for the user interface; the library never emits it.
    void sig_initShortcuts();
    /// A key other than the lock key pressed while the keyboard is locked: `index` its
    /// key value.
    void sig_updateLockState(int index);
    /// A write of the T-bar segment: `strValue` the record ("010#POSITION"), `strInfo`
    /// empty on success, else why it failed.
    void sig_writeSMSatus(QString strValue, QString strInfo);

public slots:
    /// Handles one host message. `pvData` points to a model_Protocoldata that must stay
    /// alive until this slot has run; it is not changed or freed. Messages of a class
    /// other than 0x400000 and 0x400100, and commands the library does not handle, are
    /// dropped. Reached through the connections connectBIZ() makes.
    void taskCmdProcess(void *pvData) override;
    /// The key-rate guard's timeout: makes the guard idle again.
    void updateKeyTimer();
    /// The 10 ms T-bar poll: applies a position another process wrote to the segment.
    void updateTimerReadTbar();
    /// Reloads the T-bar calibration limits from the keyboard configuration file
    /// (Tbar/Max, Tbar/Min); a limit once read stays when the file loses it.
    void readTbarIni();
    /// The shortcut index of an effect index 0-15; any other value is returned as it is.
    int effectToShortIndex(int nEffectIndex);
    /// The T-bar check timer's timeout (120 ms after a large jump): applies the waiting
    /// position and, in the T-bar process, writes it to the segment.
    void updateTimerCheckTbar();

private:
    // Command intake, one handler per row of the dispatch table.
    void dispatch(const model_Protocoldata &message);
    void handleKeyboardState(const model_Protocoldata &message);
    void handleKeyboardVersion(const model_Protocoldata &message);
    void handleTbarPosition(const model_Protocoldata &message);
    void handleSerialNumber(const model_Protocoldata &message);
    void handleToneProcessorVersion(const model_Protocoldata &message);
    void handleKeyValueOled(const model_Protocoldata &message);
    void handleGroupOled(const model_Protocoldata &message);
    void handleKeyEvent(const model_Protocoldata &message);
    void handlePanelFrame(const model_Protocoldata &message);

    // Emits a key event's signals, stores its state and arms the key-rate guard.
    void followRoute(const KeyRoute &route);
    void emitKeySignal(const KeySignal &signal);
    KeyState keyState() const;
    KeyRouter::Context keyContext() const;
    // The T-bar key's reading: clamp, alpha, jump filter, hand-over to the take handling.
    void dealTbarKey(int raw);
    // Hands the alpha to the host's take handling and announces the position held.
    void applyTbarPosition();

    // What the slots of the same names do; the library's own calls and timers use these,
    // so that only calls from outside are recorded.
    void loadTbarCalibration();
    bool findUdisk();
    void resetKeyGuard();
    void checkTbarJump();

    // What the host hands over; a missing part is reported once per object, and what
    // needs it is ignored.
    enum HostPart { HostModel = 1, HostMutex = 2, HostTake = 4 };
    bool hostHas(int parts);
    void reportMissing(int parts);

    QDir m_udiskDir;
    int m_udiskState = -1;
    QMutex *m_mutex = nullptr;
    Model_VOrnParam *m_model = nullptr;
    QTimer m_timerReadTbar;
    QTimer m_timerCheckTbar;
    bool m_lockState = false;
    bool m_groupKeyMode = false;
    const std::unique_ptr<TbarTracker> m_tbar; // calibration, position, alpha, waiting jump
    int m_keyBoardVer = -1;
    bool m_keysBlocked = false;
    QSharedMemory *m_sharedMemory = nullptr;
    const std::unique_ptr<OledPageCache> m_oledPages; // the user's pages of keys
    const std::unique_ptr<KeyRemapCache> m_keyRemap; // the key remap of the model, flattened
    int m_missingReported = 0;
};

#endif // UIPROCDEALKEYPRESS_VORN_DESKTOP_H
