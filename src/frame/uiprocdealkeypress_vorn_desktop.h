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

// Serves the hardware control keyboard for the QML user interface: decodes host
// messages into signals, keeps the key OLED model current, holds the key remap and
// carries the T-bar. QML creates it as "DealKeyPress"; signal and parameter names are
// read by name from QML and must stay exactly as declared.
class UiprocDealKeyPress_Vorn_Desktop : public IuiprocBase
{
    Q_OBJECT
public:
    UiprocDealKeyPress_Vorn_Desktop();
    ~UiprocDealKeyPress_Vorn_Desktop() override;

    Model_VOrnParam getModel();
    void setModel(Model_VOrnParam &model);

    void writeOledIni(int keyValue, int displayModel, int iconIndex, QString firstText,
                      QString secondText);

    void dealKeyPress(model_Protocoldata message);
    void deaGrouplKeyPress(unsigned short keyValue);
    int keyTransform(int keyValue);
    int getGroupIdByKeyValue(unsigned short keyValue);
    QByteArray f_GBKToUTF8(const QByteArray &bytes);

    void updateModelDataByGroupID(model_Protocoldata const &message);
    void updateModelDataByGroupID_3R(model_Protocoldata const &message);
    void updateModelDataByKeyValue(model_Protocoldata const &message);
    void updateModelDataByKeyValue_New(model_Protocoldata const &message);

    void initVirtualKeyBoard();
    void writeVirtualKeyBoard();

    void writeShareMemory(int keyCode, int value);
    int readShareMemory();

    Q_INVOKABLE void connectBIZ() override;
    Q_INVOKABLE void disconnectBIZ() override;
    Q_INVOKABLE void addModifyValue(int, int);
    Q_INVOKABLE void resetButton(int);
    Q_INVOKABLE void resetAllButton();
    Q_INVOKABLE bool readIsModify(int keyBtn);
    Q_INVOKABLE int readModifiedIndex(int keyBtn);
    Q_INVOKABLE bool scanUdisk();
    Q_INVOKABLE int exportProfile();
    Q_INVOKABLE int importProfile();
    Q_INVOKABLE void getVirturalKeyBoardAllOLED();
    Q_INVOKABLE void setLockState(bool state);
    Q_INVOKABLE bool getLockState();
    Q_INVOKABLE void writeLogForTbarTest(int nTyte, QString log);
    Q_INVOKABLE void setTbarTakeNum(int value);
    Q_INVOKABLE int getTbarTakeNum();
    Q_INVOKABLE int getTbarMax();
    Q_INVOKABLE int getTbarMin();
    Q_INVOKABLE void setKeyBoardVer(int nVer = -1);

    // Key-rate guard shared by every instance.
    static QTimer keyTimer;
    static bool keyFlag;

signals:
    void sigKeyBoradStates(bool isRun);
    void sigKeyBoardSN(QString strSN);
    void sig_keyBoardVersion(int value);
    void sigKeyValueForTest(int nValue1, int nValue2 = 0, int nValue3 = 0);
    void sendUpdateVersion(QString str_ver);
    void sig_changeBank(int index);
    void sig_BankPageUp();
    void sig_BankPageDown();
    void sig_sync();
    void sig_BankSave();
    void sig_BankClear();
    void sig_shortCut(int index);
    void sig_shortCutUp();
    void sig_shortCutDown();
    void sig_shortCutUserDefine();
    void sig_black();
    void sig_testPattern();
    void sig_changeOutput(int index);
    void sig_outputPageUp();
    void sig_outputPageDown();
    void sig_outputUser();
    void sig_allOutPut();
    void sig_clearOutput();
    void sig_creatNewLayer(int index);
    void sig_LayerPageUp();
    void sig_LayerPageDown();
    void sig_changeSelect();
    void sig_deleteLayer();
    void sig_allLayers();
    void sig_maximize();
    void sig_setScale(int KeyValue);
    void sig_setPos(int KeyValue);
    void sig_setCrop();
    void sig_changeInput(int index);
    void sig_inputPageUp();
    void sig_inputPageDown();
    void sig_inputUser();
    void sig_deleteNum();
    void sig_caps();
    void sig_space();
    void sig_tab();
    void sig_numberKey(int index);
    void sig_dot();
    void sig_shift();
    void sig_ctrl();
    void sig_enter();
    void sig_Rocker(int index, int stepLow, int stepHig);
    void sig_doTake();
    void sig_doCut();
    void sig_doTbarTake();
    void sig_changeAlpha(int value, int defValue = 0);
    void sigTbarValue(int nValue);
    void sig_matchPGM();
    void sig_freezePST();
    void sig_freezePGM();
    void sig_lock();
    void sig_sel();
    void sig_dimmer();
    void sig_wipe();
    void sig_mix();
    void sig_keyBoradValue(int index);
    void sig_otherKeyBoradValue(int index);
    void sig_Container(int index);
    void sig_Knob(int index);
    void sig_Move(int index);
    void sig_fnTab();
    void sig_updateOledShow(int nKeyValue, int nModel, int nIcon, QString strFirst,
                            QString strSecend);
    void sig_warrFreqMsg();
    void sig_layerAttribute(QString value);
    void sig_initShortcuts();
    void sig_updateLockState(int index);
    void sig_writeSMSatus(QString strValue, QString strInfo);

public slots:
    void taskCmdProcess(void *pvData) override;
    void updateKeyTimer();
    void updateTimerReadTbar();
    void readTbarIni();
    int effectToShortIndex(int nEffectIndex);
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
