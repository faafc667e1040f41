#ifndef PANELFRAME_H
#define PANELFRAME_H

#include <QtCore/QByteArray>

// One panel frame (command 0x40) decoded from its payload. A frame too short for the
// bytes its kind is read at decodes as Ignored.
class PanelFrame
{
public:
    enum Kind {
        Ignored, // not a panel frame this library handles; nothing is logged
        TbarValue, // raw T-bar value in tbarHigh, tbarLow
        Bank, // index()
        Output, // index()
        Input, // index()
        Cut,
        Take,
        NoAction // a key frame without an action
    };

    static PanelFrame decode(const QByteArray &payload, uchar subCommand);

    Kind kind() const { return m_kind; }
    uchar tbarHigh() const { return m_tbarHigh; }
    uchar tbarLow() const { return m_tbarLow; }
    // 0..7 for the bank, output and input keys.
    int index() const { return m_code / 8 - 1; }
    // The key number the diagnostics show: code / 8 for grouped keys, else the code.
    int loggedKey() const { return m_grouped ? m_code / 8 : m_code; }

private:
    Kind m_kind = Ignored;
    uchar m_tbarHigh = 0;
    uchar m_tbarLow = 0;
    int m_code = 0;
    bool m_grouped = false;
};

#endif // PANELFRAME_H
