#include "panelframe.h"

namespace {

const uchar TbarFrame = 0xcd;
const uchar KeyFrame = 0xcf;
const uchar KeyFrameMarker = 0x80;
const uchar KeyFrameMinSubCommand = 5;

// Key frames carry a key code; the first row whose range holds it decides. Grouped rows
// take every eighth code (code mod 8 == residue), the others exactly one code.
struct KeyRow
{
    int first;
    int last;
    int residue; // -1: not grouped
    PanelFrame::Kind kind;
};

const KeyRow KeyRows[] = {
        {8, 64, 0, PanelFrame::Bank},   {14, 70, 6, PanelFrame::Output},
        {12, 68, 4, PanelFrame::Input}, {11, 67, 3, PanelFrame::NoAction},
        {91, 91, -1, PanelFrame::Cut},  {83, 83, -1, PanelFrame::Take},
};

uchar byteAt(const QByteArray &bytes, int index)
{
    return uchar(bytes.at(index));
}

} // namespace

PanelFrame PanelFrame::decode(const QByteArray &payload, uchar subCommand)
{
    PanelFrame frame;
    if (payload.isEmpty())
        return frame;

    if (byteAt(payload, 0) == TbarFrame) {
        if (payload.size() < 5)
            return frame;
        frame.m_kind = TbarValue;
        frame.m_tbarHigh = byteAt(payload, 3);
        frame.m_tbarLow = byteAt(payload, 4);
        return frame;
    }

    if (byteAt(payload, 0) != KeyFrame || subCommand < KeyFrameMinSubCommand || payload.size() < 4
        || byteAt(payload, 3) != KeyFrameMarker)
        return frame;

    frame.m_kind = NoAction;
    frame.m_code = byteAt(payload, 2);
    for (const KeyRow &row : KeyRows) {
        const bool inRange = frame.m_code >= row.first && frame.m_code <= row.last;
        if (inRange && (row.residue < 0 || frame.m_code % 8 == row.residue)) {
            frame.m_kind = row.kind;
            frame.m_grouped = row.residue >= 0;
            break;
        }
    }
    return frame;
}
