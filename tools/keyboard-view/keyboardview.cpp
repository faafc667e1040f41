#include "keyboardview.h"

#include "uiprocdealkeypress_vorn_desktop.h"

#include <QtQml/QQmlContext>
#include <QtQuick/QQuickItem>
#include <QtQuick/QQuickWindow>

KeyboardView::KeyboardView(HostSession::MessageThread messageThread)
    : m_host(messageThread)
    , m_panel(m_host.model)
    , m_recorder([this](const QMetaMethod &signal, const QVariantList &arguments) {
        m_log.appendSignal(signal, arguments);
        m_panel.signalEmitted(signal, arguments);
    })
    , m_player(m_host, [this] { return createProcessor(); })
    , m_keyInput(m_player)
{
    Q_INIT_RESOURCE(keyboardview);
    m_host.setMessageObserver([this](const model_Protocoldata &message, bool handled) {
        m_panel.messageObserved(message, handled);
    });
    QObject::connect(&m_player, &TracePlayer::processorStarted,
                     [this](UiprocDealKeyPress_Vorn_Desktop *processor) {
                         m_recorder.attach(processor);
                         m_panel.attach(processor);
                     });
    QObject::connect(&m_player, &TracePlayer::called,
                     [this](const QByteArray &method, const QVariant &result) {
                         m_log.appendCall(method, result);
                         m_panel.callMade(method);
                     });
}

KeyboardView::~KeyboardView()
{
    if (m_player.processor())
        m_player.processor()->disconnectBIZ();
}

bool KeyboardView::load()
{
    // Runs without GPU drivers, unless QT_QUICK_BACKEND chooses another scene graph.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")
        && QQuickWindow::sceneGraphBackend().isEmpty())
        QQuickWindow::setSceneGraphBackend(QStringLiteral("software"));
    m_engine.rootContext()->setContextProperty(QStringLiteral("keyInput"), &m_keyInput);
    m_engine.rootContext()->setContextProperty(QStringLiteral("signalLog"), &m_log);
    m_engine.rootContext()->setContextProperty(QStringLiteral("panel"), &m_panel);
    m_engine.load(QUrl(QStringLiteral("qrc:/qml/main.qml")));
    m_window = qobject_cast<QQuickWindow *>(m_engine.rootObjects().value(0));
    return m_window != nullptr;
}

// The window's DealKeyPress, created the first time the trace or a key press needs it.
UiprocDealKeyPress_Vorn_Desktop *KeyboardView::createProcessor()
{
    QVariant processor;
    if (m_window)
        QMetaObject::invokeMethod(m_window, "startProcessor", Q_RETURN_ARG(QVariant, processor));
    return qobject_cast<UiprocDealKeyPress_Vorn_Desktop *>(processor.value<QObject *>());
}

namespace {

QQuickItem *findItem(QQuickItem *item, const QString &name)
{
    if (item->objectName() == name)
        return item;
    for (QQuickItem *child : item->childItems()) {
        if (QQuickItem *found = findItem(child, name))
            return found;
    }
    return nullptr;
}

} // namespace

QQuickItem *KeyboardView::item(const QString &objectName) const
{
    return m_window ? findItem(m_window->contentItem(), objectName) : nullptr;
}

QString KeyboardView::shownText(const QString &objectName) const
{
    const QQuickItem *found = item(objectName);
    return found ? found->property("text").toString() : QString();
}
