#include "uiprocdealkeypress_vorn_desktop.h"

#include <QtCore/QMetaMethod>
#include <QtTest/QtTest>

Q_DECLARE_METATYPE(QMetaMethod::MethodType)

// QML binds to the processor by name only: signal names, argument types and argument
// names, slot and invokable signatures. Any drift breaks the user interface silently.
class tst_ProcessorSurface : public QObject
{
    Q_OBJECT
private slots:
    void methods_data();
    void methods();
    void nothingElseOnTheSurface();
};

namespace {

const char *const MethodKinds[] = {"method", "signal", "slot", "constructor"};

QString describe(const QMetaMethod &method)
{
    QStringList parameters;
    for (int i = 0; i < method.parameterCount(); ++i) {
        const QByteArray name = method.parameterNames().at(i);
        parameters.append(QString::fromLatin1(method.parameterTypes().at(i)
                                              + (name.isEmpty() ? "" : " " + name)));
    }
    QString text = QStringLiteral("%1 %2 %3(%4)")
                           .arg(QLatin1String(MethodKinds[method.methodType()]),
                                QLatin1String(method.typeName()), QLatin1String(method.name()),
                                parameters.join(QStringLiteral(", ")));
    if (method.attributes() & QMetaMethod::Cloned)
        text += QStringLiteral(" cloned");
    if (method.access() != QMetaMethod::Public)
        text += QStringLiteral(" not public");
    return text;
}

const char *const ExpectedSurface[] = {
        "signal void sigKeyBoradStates(bool isRun)",
        "signal void sigKeyBoardSN(QString strSN)",
        "signal void sig_keyBoardVersion(int value)",
        "signal void sigKeyValueForTest(int nValue1, int nValue2, int nValue3)",
        "signal void sigKeyValueForTest(int nValue1, int nValue2) cloned",
        "signal void sigKeyValueForTest(int nValue1) cloned",
        "signal void sendUpdateVersion(QString str_ver)",
        "signal void sig_changeBank(int index)",
        "signal void sig_BankPageUp()",
        "signal void sig_BankPageDown()",
        "signal void sig_sync()",
        "signal void sig_BankSave()",
        "signal void sig_BankClear()",
        "signal void sig_shortCut(int index)",
        "signal void sig_shortCutUp()",
        "signal void sig_shortCutDown()",
        "signal void sig_shortCutUserDefine()",
        "signal void sig_black()",
        "signal void sig_testPattern()",
        "signal void sig_changeOutput(int index)",
        "signal void sig_outputPageUp()",
        "signal void sig_outputPageDown()",
        "signal void sig_outputUser()",
        "signal void sig_allOutPut()",
        "signal void sig_clearOutput()",
        "signal void sig_creatNewLayer(int index)",
        "signal void sig_LayerPageUp()",
        "signal void sig_LayerPageDown()",
        "signal void sig_changeSelect()",
        "signal void sig_deleteLayer()",
        "signal void sig_allLayers()",
        "signal void sig_maximize()",
        "signal void sig_setScale(int KeyValue)",
        "signal void sig_setPos(int KeyValue)",
        "signal void sig_setCrop()",
        "signal void sig_changeInput(int index)",
        "signal void sig_inputPageUp()",
        "signal void sig_inputPageDown()",
        "signal void sig_inputUser()",
        "signal void sig_deleteNum()",
        "signal void sig_caps()",
        "signal void sig_space()",
        "signal void sig_tab()",
        "signal void sig_numberKey(int index)",
        "signal void sig_dot()",
        "signal void sig_shift()",
        "signal void sig_ctrl()",
        "signal void sig_enter()",
        "signal void sig_Rocker(int index, int stepLow, int stepHig)",
        "signal void sig_doTake()",
        "signal void sig_doCut()",
        "signal void sig_doTbarTake()",
        "signal void sig_changeAlpha(int value, int defValue)",
        "signal void sig_changeAlpha(int value) cloned",
        "signal void sigTbarValue(int nValue)",
        "signal void sig_matchPGM()",
        "signal void sig_freezePST()",
        "signal void sig_freezePGM()",
        "signal void sig_lock()",
        "signal void sig_sel()",
        "signal void sig_dimmer()",
        "signal void sig_wipe()",
        "signal void sig_mix()",
        "signal void sig_keyBoradValue(int index)",
        "signal void sig_otherKeyBoradValue(int index)",
        "signal void sig_Container(int index)",
        "signal void sig_Knob(int index)",
        "signal void sig_Move(int index)",
        "signal void sig_fnTab()",
        "signal void sig_updateOledShow(int nKeyValue, int nModel, int nIcon, QString strFirst, "
        "QString strSecend)",
        "signal void sig_warrFreqMsg()",
        "signal void sig_layerAttribute(QString value)",
        "signal void sig_initShortcuts()",
        "signal void sig_updateLockState(int index)",
        "signal void sig_writeSMSatus(QString strValue, QString strInfo)",
        "slot void taskCmdProcess(void* pvData)",
        "slot void updateKeyTimer()",
        "slot void updateTimerReadTbar()",
        "slot void readTbarIni()",
        "slot int effectToShortIndex(int nEffectIndex)",
        "slot void updateTimerCheckTbar()",
        "method void connectBIZ()",
        "method void disconnectBIZ()",
        "method void addModifyValue(int, int)",
        "method void resetButton(int)",
        "method void resetAllButton()",
        "method bool readIsModify(int keyBtn)",
        "method int readModifiedIndex(int keyBtn)",
        "method bool scanUdisk()",
        "method int exportProfile()",
        "method int importProfile()",
        "method void getVirturalKeyBoardAllOLED()",
        "method void setLockState(bool state)",
        "method bool getLockState()",
        "method void writeLogForTbarTest(int nTyte, QString log)",
        "method void setTbarTakeNum(int value)",
        "method int getTbarTakeNum()",
        "method int getTbarMax()",
        "method int getTbarMin()",
        "method void setKeyBoardVer(int nVer)",
        "method void setKeyBoardVer() cloned",
};

} // namespace

void tst_ProcessorSurface::methods_data()
{
    QTest::addColumn<QMetaMethod::MethodType>("type");
    QTest::addColumn<int>("count");
    QTest::newRow("signals") << QMetaMethod::Signal << 75;
    QTest::newRow("slots") << QMetaMethod::Slot << 6;
    QTest::newRow("invokables") << QMetaMethod::Method << 20;
}

void tst_ProcessorSurface::methods()
{
    QFETCH(QMetaMethod::MethodType, type);
    QFETCH(int, count);

    const QMetaObject &meta = UiprocDealKeyPress_Vorn_Desktop::staticMetaObject;
    QStringList actual;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        if (meta.method(i).methodType() == type)
            actual.append(describe(meta.method(i)));
    }
    QStringList expected;
    for (const char *entry : ExpectedSurface) {
        const QString text = QString::fromLatin1(entry);
        if (text.startsWith(QLatin1String(MethodKinds[type]) + QLatin1Char(' ')))
            expected.append(text);
    }
    QCOMPARE(expected.size(), count);
    QCOMPARE(actual, expected);
}

void tst_ProcessorSurface::nothingElseOnTheSurface()
{
    const QMetaObject &meta = UiprocDealKeyPress_Vorn_Desktop::staticMetaObject;
    QCOMPARE(meta.superClass(), &QObject::staticMetaObject);
    QCOMPARE(meta.className(), "UiprocDealKeyPress_Vorn_Desktop");
    QCOMPARE(meta.methodCount() - meta.methodOffset(), 75 + 6 + 20);
    QCOMPARE(meta.propertyCount(), meta.propertyOffset());
    QCOMPARE(meta.enumeratorCount(), meta.enumeratorOffset());
    QCOMPARE(meta.constructorCount(), 0);
    QCOMPARE(meta.classInfoCount(), meta.classInfoOffset());
}

QTEST_GUILESS_MAIN(tst_ProcessorSurface)
#include "tst_processorsurface.moc"
