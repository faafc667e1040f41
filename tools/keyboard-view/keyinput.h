#ifndef KEYINPUT_H
#define KEYINPUT_H

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QObject>

class TracePlayer;

// The keys the user presses on screen. Each press becomes the trace line of the
// keyboard's event ("key 405 b=5", "tbar 512"), played through the host's message path
// like any trace line and, when saving, written to the save file after a wait line
// with the time since the previous press, so that the simulator replays it alike.
class KeyInput : public QObject
{
    Q_OBJECT
public:
    explicit KeyInput(TracePlayer &player, QObject *parent = nullptr);

    // Saves every later press to the file at path; false when it cannot be written.
    bool saveTo(const QString &path);
    QString errorString() const { return m_save.errorString(); }

    // Out-of-range values send nothing.
    Q_INVOKABLE void pressKey(int key, int dataA = 0, int dataB = 0);
    Q_INVOKABLE void moveTbar(int raw);

private:
    void play(const QString &line);
    void save(const QString &line);

    TracePlayer &m_player;
    QFile m_save;
    QElapsedTimer m_sincePrevious;
};

#endif // KEYINPUT_H
