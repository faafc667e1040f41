// A minimal host of the keyboard library: it provides what the library needs from the
// host, loads the QML that creates the processor, and plays a keyboard that sends a few
// messages from the business object's own thread.
#include <model_protocoldata.h>
#include <model_vornparam.h>
#include <public_vorn_taskcmdprocess_desktop.h>
#include <uiprocdealkeypress_vorn_desktop.h>
#include <uiprocmain_vorn_desktop.h>
#include <uiproctake.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QThread>
#include <QtCore/QTimer>
#include <QtQml/QQmlApplicationEngine>

namespace {

model_Protocoldata message(uchar command, uchar subCommand, uchar dataA = 0, uchar byte29 = 0,
                           uchar byte2A = 0, const QByteArray &payload = QByteArray())
{
    model_Protocoldata m;
    m.messageClass = 0x400000;
    m.command = command;
    m.subCommand = subCommand;
    m.dataA = dataA;
    m.byte29 = byte29;
    m.byte2A = byte2A;
    m.payload = payload;
    return m;
}

// A key event: the key value's low byte in byte 0x29, its high byte in byte 0x2a, the
// T-bar's raw reading in data byte A (high) and the sub-command (low).
model_Protocoldata key(quint16 keyValue, uchar dataA = 0, uchar dataB = 0)
{
    return message(0xa0, dataB, dataA, uchar(keyValue & 0xff), uchar(keyValue >> 8));
}

// Emits a message from the thread `source` lives in. The library handles it later, on
// the GUI thread, so the message is freed by a call queued to the GUI thread after the
// emission: that call runs after the library's.
template<typename Source>
void send(Source *source, void (Source::*signal)(void *), const model_Protocoldata &content)
{
    QMetaObject::invokeMethod(source, [source, signal, content] {
        auto *held = new model_Protocoldata(content);
        emit(source->*signal)(held);
        QMetaObject::invokeMethod(qApp, [held] { delete held; }, Qt::QueuedConnection);
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    // 1. What the host owns and hands over, before any DealKeyPress exists.
    Model_VOrnParam model;
    QMutex modelMutex;
    BizCmdsWork business;
    CoreUSB usb;
    UiprocTake take;
    uiprocmain_VORN_Desktop::biz_cmdswork = &business;
    uiprocmain_VORN_Desktop::icoreUSB = &usb;
    Public_Desktop::puiTake = &take;
    Public_Vorn_TaskCmdProcess_Desktop::setKeyBoardVar(&model, &modelMutex);
    Public_Vorn_TaskCmdProcess_Desktop::initRegisterType_Vorn_Desktop();

    // 2. QML creates the processor; the host connects it once.
    QQmlApplicationEngine engine(QUrl(QStringLiteral("qrc:/main.qml")));
    auto *keyboard = engine.rootObjects().isEmpty()
            ? nullptr
            : qobject_cast<UiprocDealKeyPress_Vorn_Desktop *>(engine.rootObjects().first());
    if (!keyboard)
        return 1;
    keyboard->connectBIZ();

    // 3. The message sources live in a thread of their own, as the host's do.
    QThread messages;
    business.moveToThread(&messages);
    usb.moveToThread(&messages);
    messages.start();

    // 4. The keyboard: connected, its serial number, the tone processor's version (which
    // sets the OLED line length to 30), an OLED text, the T-bar, then two keys more than
    // 500 ms apart, the key-rate guard's interval.
    const auto signal = &BizCmdsWork::signalSendReceiveMessage;
    send(&business, signal, message(0xa2, 0x02));
    send(&business, signal, message(0x6a, 0x11, 0x12, 0x34));
    send(&business, signal, message(0x9a, 0xb1, 0, 1, 2));
    QByteArray oled("\x01\x95\x07\x00", 4); // key 405 (high byte first), model 7, icon 0
    oled += QByteArray("Camera 2").leftJustified(30, '\0');
    oled += QByteArray("Stage").leftJustified(30, '\0');
    send(&business, signal, message(0xf1, 0x43, 0, 0, 0, oled));
    send(&usb, &CoreUSB::sigRecvTbar, key(10, 512 >> 8, 512 & 0xff));
    send(&business, signal, key(405));
    QTimer::singleShot(600, &app, [&] {
        send(&business, signal, key(506));
        QMetaObject::invokeMethod(&business, [] {
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        });
    });

    const int status = app.exec();
    keyboard->disconnectBIZ(); // before the processor goes; saves the key remap
    messages.quit();
    messages.wait();
    return status;
}
