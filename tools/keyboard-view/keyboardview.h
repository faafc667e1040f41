#ifndef KEYBOARDVIEW_H
#define KEYBOARDVIEW_H

#include "hostsession.h"
#include "keyinput.h"
#include "panelstate.h"
#include "signallog.h"
#include "signalrecorder.h"
#include "traceplayer.h"

#include <QtQml/QQmlApplicationEngine>

class QQuickItem;
class QQuickWindow;
class UiprocDealKeyPress_Vorn_Desktop;

// The keyboard view: a host session whose processor the view's QML window creates, the
// trace player, the log behind the signal panel, the keyboard state beside the signals
// and the keys pressed on screen.
class KeyboardView
{
public:
    explicit KeyboardView(HostSession::MessageThread messageThread = HostSession::GuiThread);
    // Disconnects the processor, as the host does when it shuts down.
    ~KeyboardView();

    // Creates the window, not shown yet; false, with QML's errors on stderr, when it cannot.
    bool load();

    QQuickWindow *window() const { return m_window; }
    TracePlayer &player() { return m_player; }
    KeyInput &keyInput() { return m_keyInput; }
    SignalLog &signalLog() { return m_log; }
    PanelState &panelState() { return m_panel; }

    // The window's item of that objectName, and the text it shows; null and empty when
    // there is none.
    QQuickItem *item(const QString &objectName) const;
    QString shownText(const QString &objectName) const;

private:
    UiprocDealKeyPress_Vorn_Desktop *createProcessor();

    HostSession m_host;
    SignalLog m_log;
    PanelState m_panel;
    SignalRecorder m_recorder;
    TracePlayer m_player;
    KeyInput m_keyInput;
    QQmlApplicationEngine m_engine; // destroyed first, and the processor with its window
    QQuickWindow *m_window = nullptr;
};

#endif // KEYBOARDVIEW_H
