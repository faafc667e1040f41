#include "processorhost.h"

#include <QtQml/QQmlComponent>
#include <QtQml/QQmlEngine>
#include <QtTest/QtTest>

// The user interface creates the processor from QML and reads signal arguments by name.
class tst_QmlRegistration : public QObject
{
    Q_OBJECT
private slots:
    void handlersReadArgumentsByName();
    void invokablesCallableFromQml();

private:
    std::unique_ptr<QObject> create(QQmlEngine &engine, const QByteArray &body);
};

std::unique_ptr<QObject> tst_QmlRegistration::create(QQmlEngine &engine, const QByteArray &body)
{
    QQmlComponent component(&engine);
    component.setData("import vorn.UiprocDealKeyPress 1.0\nDealKeyPress {\n" + body + "}\n",
                      QUrl());
    std::unique_ptr<QObject> object(component.create());
    if (!object)
        qWarning() << component.errorString();
    return object;
}

void tst_QmlRegistration::handlersReadArgumentsByName()
{
    ProcessorHost host;
    QQmlEngine engine;
    const std::unique_ptr<QObject> object = create(engine, R"(
        property int input: -1
        property string serial
        property bool running: false
        onSig_changeInput: input = index
        onSigKeyBoardSN: serial = strSN
        onSigKeyBoradStates: running = isRun
    )");
    auto *processor = qobject_cast<UiprocDealKeyPress_Vorn_Desktop *>(object.get());
    QVERIFY(processor);
    processor->connectBIZ();

    host.send(hostMessage(0x40, 5, 0, 0, 0, QByteArray::fromHex("cf001480")));
    host.send(hostMessage(0x6a, 0x11, 0x0a, 0xff));
    host.send(hostMessage(0xa2, 0x02));

    QCOMPARE(object->property("input").toInt(), 1);
    QCOMPARE(object->property("serial").toString(), QStringLiteral("0aff"));
    QCOMPARE(object->property("running").toBool(), true);
}

void tst_QmlRegistration::invokablesCallableFromQml()
{
    ProcessorHost host;
    QQmlEngine engine;
    const std::unique_ptr<QObject> object = create(engine, R"(
        function probe() {
            setKeyBoardVer()
            setTbarTakeNum(-3)
            setLockState(true)
            return [getTbarTakeNum(), getLockState(), getTbarMax(), getTbarMin(), effectToShortIndex(99)]
        }
    )");
    QVERIFY(object);
    QVariant result;
    QVERIFY(QMetaObject::invokeMethod(object.get(), "probe", Q_RETURN_ARG(QVariant, result)));
    QCOMPARE(result.toList(), QVariantList({-3, true, 1024, 0, 99}));
}

QTEST_GUILESS_MAIN(tst_QmlRegistration)
#include "tst_qmlregistration.moc"
