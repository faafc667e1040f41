#ifndef PANELSTATE_H
#define PANELSTATE_H

#include "keyoutcome.h"

#include <QtCore/QMetaMethod>
#include <QtCore/QObject>
#include <QtCore/QTimer>
#include <QtCore/QVariantMap>

struct Model_VOrnParam;
class model_Protocoldata;
class UiprocDealKeyPress_Vorn_Desktop;

// What the view shows of the keyboard's state beside the signals' own arguments: the
// lock, the FN modifier, the device key lock, the key-rate guard, the T-bar calibration,
// the remapped keys, and a notice saying why the last key did nothing or something else.
// It learns them from the messages the host hands out and the signals each one brings
// (KeyOutcome), the calls the trace makes, and the host's model. Under a stream of keys
// the notice changes at most ten times a second, faster than anyone reads, so that the
// window redraws it with the frames it draws anyway.
class PanelState : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool locked READ locked NOTIFY keyStateChanged)
    Q_PROPERTY(bool fnHeld READ fnHeld NOTIFY keyStateChanged)
    Q_PROPERTY(bool deviceLock READ deviceLock NOTIFY keyStateChanged)
    Q_PROPERTY(bool guardArmed READ guardArmed NOTIFY guardArmedChanged)
    Q_PROPERTY(int tbarMin READ tbarMin NOTIFY tbarRangeChanged)
    Q_PROPERTY(int tbarMax READ tbarMax NOTIFY tbarRangeChanged)
    Q_PROPERTY(QVariantMap remaps READ remaps NOTIFY remapsChanged)
    Q_PROPERTY(QString notice READ notice NOTIFY noticeChanged)
public:
    explicit PanelState(const Model_VOrnParam &model, QObject *parent = nullptr);

    void attach(UiprocDealKeyPress_Vorn_Desktop *processor);
    // Around each message the host hands out; signalEmitted() in between.
    void messageObserved(const model_Protocoldata &message, bool handled);
    void signalEmitted(const QMetaMethod &signal, const QVariantList &arguments);
    // After a call of the trace.
    void callMade(const QByteArray &method);
    // Shows the last notice now rather than at the end of the interval.
    void flush();

    bool locked() const { return m_keys.locked; }
    bool fnHeld() const { return m_keys.fnHeld; }
    bool deviceLock() const { return m_keys.deviceLock; }
    // A guarded key came during the last 500 ms.
    bool guardArmed() const { return m_guardArmed; }
    int tbarMin() const { return m_tbarMin; }
    int tbarMax() const { return m_tbarMax; }
    // The name of the key each remapped key acts as, by the remapped key's value.
    QVariantMap remaps() const { return m_remaps; }
    QString notice() const { return m_notice; }

signals:
    // The lock, the FN modifier or the device key lock changed.
    void keyStateChanged();
    // The key-rate guard was armed or went idle.
    void guardArmedChanged();
    // The T-bar calibration limits were read.
    void tbarRangeChanged();
    // A key was remapped or reset.
    void remapsChanged();
    // A new notice, also when its text is the same as the last one's.
    void noticeChanged();

private:
    void setKeyState(const KeyOutcome::State &state);
    void showNotice(const QString &notice);
    void updateGuard();
    void readTbarRange();
    void readRemaps();

    const Model_VOrnParam &m_model;
    UiprocDealKeyPress_Vorn_Desktop *m_processor = nullptr;
    KeyOutcome::State m_keys;
    bool m_watching = false; // a key event is being handled
    QVector<KeyOutcome::Emission> m_emissions;
    bool m_guardArmed = false;
    int m_tbarMin = 0;
    int m_tbarMax = 0;
    QVariantMap m_remaps;
    QString m_notice;
    QString m_pendingNotice;
    QTimer m_noticeInterval;
};

#endif // PANELSTATE_H
