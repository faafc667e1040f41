import QtQuick 2.15

// The last signals of the processor, with their arguments by name, and the calls of the
// trace, newest on top, from the view's signal log. A long row wraps, and a row the panel
// cannot show whole is not shown at all.
Rectangle {
    color: "#15171c"
    radius: 4

    Text {
        id: header
        x: 8
        y: 6
        text: qsTr("SIGNALS  %1 signals, %2 calls, newest first").arg(signalLog.total).arg(signalLog.calls)
        color: "#e6e8ec"
        font.pixelSize: 12
        font.bold: true
    }

    ListView {
        id: rows

        anchors.fill: parent
        anchors.topMargin: header.y + header.height + 6
        anchors.margins: 8
        clip: true
        spacing: 1
        // Rows change height as their texts change: delegates moving out of view are kept
        // for reuse rather than destroyed and made again.
        reuseItems: true
        model: signalLog

        // The row's background spans the panel, so that the area a frame redraws stays a
        // few rectangles however ragged the rows' ends are.
        delegate: Rectangle {
            width: ListView.view.width
            height: row.height
            visible: y >= rows.contentY && y + height <= rows.contentY + rows.height
            color: "#15171c"

            Text {
                id: row
                width: parent.width
                wrapMode: Text.Wrap
                text: display
                textFormat: Text.PlainText
                color: text.startsWith("call ") ? "#9fc7ff" : "#b7e0a5"
                font.family: "monospace"
                font.pixelSize: 11
            }
        }
    }
}
