#include "keyinput.h"

#include "trace.h"
#include "traceplayer.h"

KeyInput::KeyInput(TracePlayer &player, QObject *parent) : QObject(parent), m_player(player) { }

bool KeyInput::saveTo(const QString &path)
{
    m_save.setFileName(path);
    return m_save.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
}

void KeyInput::pressKey(int key, int dataA, int dataB)
{
    QString line = QStringLiteral("key %1").arg(key);
    if (dataA != 0)
        line += QStringLiteral(" a=%1").arg(dataA);
    if (dataB != 0)
        line += QStringLiteral(" b=%1").arg(dataB);
    play(line);
}

void KeyInput::moveTbar(int raw)
{
    play(QStringLiteral("tbar %1").arg(raw));
}

void KeyInput::play(const QString &line)
{
    const Trace trace = Trace::parse(line);
    if (!trace.isValid())
        return;
    // Saved first: a press that brings the processor down is in the file.
    if (m_save.isOpen())
        save(line);
    m_player.execute(trace.lines().constFirst());
}

void KeyInput::save(const QString &line)
{
    if (m_sincePrevious.isValid()) {
        const qint64 milliseconds
                = qMin<qint64>(m_sincePrevious.restart(), Trace::MaxWaitMilliseconds);
        if (milliseconds > 0)
            m_save.write("wait " + QByteArray::number(milliseconds) + '\n');
    } else {
        m_sincePrevious.start();
    }
    m_save.write(line.toUtf8() + '\n');
    m_save.flush();
}
