#include "processorhost.h"
#include "public_vorn_taskcmdprocess_desktop.h"

#include <QtCore/QMetaMethod>
#include <QtQml/QQmlComponent>
#include <QtQml/QQmlEngine>
#include <QtTest/QtTest>

// The user interface binds to the processor by name from QML: it creates the type, reads
// signal arguments by name and calls slots and invokables.
class tst_QmlSurface : public QObject
{
    Q_OBJECT
private slots:
    void surface();
    void handlersReadArgumentsByName();
    void invokablesCallableFromQml();
    void createdBeforeTheHandOver();

private:
    std::unique_ptr<QObject> create(QQmlEngine &engine, const QByteArray &body = QByteArray());
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

QStringList warnings;

void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtWarningMsg)
        warnings.append(message);
}

} // namespace

std::unique_ptr<QObject> tst_QmlSurface::create(QQmlEngine &engine, const QByteArray &body)
{
    QQmlComponent component(&engine);
    component.setData("import vorn.UiprocDealKeyPress 1.0\nDealKeyPress {\n" + body + "}\n",
                      QUrl());
    std::unique_ptr<QObject> object(component.create());
    if (!object)
        qWarning() << component.errorString();
    return object;
}

// qmlsurface.expected lists the contract, one method per line in declaration order:
// signal names, argument types and names, slot and invokable signatures. Nothing else
// (properties, enumerations, constructors) is on the surface.
void tst_QmlSurface::surface()
{
    QFile file(QStringLiteral(SURFACE_FILE));
    QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(file.errorString()));
    const QMetaObject &meta = UiprocDealKeyPress_Vorn_Desktop::staticMetaObject;
    QStringList actual{QStringLiteral("superclass %1").arg(meta.superClass()->className())};
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i)
        actual.append(describe(meta.method(i)));
    actual.append(QStringLiteral("properties %1, enumerators %2, constructors %3, class infos %4")
                          .arg(meta.propertyCount() - meta.propertyOffset())
                          .arg(meta.enumeratorCount() - meta.enumeratorOffset())
                          .arg(meta.constructorCount())
                          .arg(meta.classInfoCount() - meta.classInfoOffset()));
    QCOMPARE(actual, QString::fromUtf8(file.readAll()).trimmed().split(QLatin1Char('\n')));
}

void tst_QmlSurface::handlersReadArgumentsByName()
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

void tst_QmlSurface::invokablesCallableFromQml()
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

// Made before the host handed over its model and mutex, and without its take handling:
// one warning per missing part, messages and calls that need it ignored, "nothing"
// answers, and no crash.
void tst_QmlSurface::createdBeforeTheHandOver()
{
    ProcessorHost host;
    Public_Vorn_TaskCmdProcess_Desktop::setKeyBoardVar(nullptr, nullptr);
    Public_Desktop::puiTake = nullptr;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    QQmlEngine engine;
    const std::unique_ptr<QObject> object = create(engine, R"(
        function probe() {
            addModifyValue(105, 203)
            resetButton(105)
            resetAllButton()
            getVirturalKeyBoardAllOLED()
            return [readIsModify(105), readModifiedIndex(105), importProfile()]
        }
    )");
    auto *processor = qobject_cast<UiprocDealKeyPress_Vorn_Desktop *>(object.get());
    QVERIFY(processor);
    processor->connectBIZ();
    QSignalSpy emitted(processor, &UiprocDealKeyPress_Vorn_Desktop::sigKeyValueForTest);
    for (const model_Protocoldata &message :
         {hostMessage(0xa2, 0x15, 0, 2, 0x5d), keyEvent(105), keyEvent(10, 0xf4, 1),
          hostMessage(0xf1, 0x41, 1, 0, 0, QByteArray(352, 'a')),
          hostMessage(0xf1, 0x43, 0, 0, 0, QByteArray(24, 'a'))})
        host.send(message);
    QVariant result;
    QVERIFY(QMetaObject::invokeMethod(object.get(), "probe", Q_RETURN_ARG(QVariant, result)));
    QCOMPARE(result.toList(), QVariantList({false, -1, -1}));
    processor->disconnectBIZ();
    qInstallMessageHandler(previous);

    QCOMPARE(emitted.count(), 0);
    QCOMPARE(warnings.size(), 3);
    QVERIFY2(warnings.at(0).contains("setKeyBoardVar"), qPrintable(warnings.at(0)));
    QVERIFY2(warnings.at(1).contains("take handling"), qPrintable(warnings.at(1)));
    QVERIFY2(warnings.at(2).contains("mutex"), qPrintable(warnings.at(2)));
}

QTEST_GUILESS_MAIN(tst_QmlSurface)
#include "tst_qmlsurface.moc"
