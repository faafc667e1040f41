import QtQuick 2.15

// The last signals of the processor, newest on top, from the view's signal log.
Rectangle {
    color: "#15171c"
    radius: 4

    Text {
        id: header
        x: 8
        y: 6
        text: qsTr("SIGNALS  %1, newest first").arg(signalLog.total)
        color: "#e6e8ec"
        font.pixelSize: 12
        font.bold: true
    }

    ListView {
        anchors.fill: parent
        anchors.topMargin: header.y + header.height + 6
        anchors.margins: 8
        clip: true
        model: signalLog

        delegate: Text {
            width: ListView.view.width
            elide: Text.ElideRight
            text: display
            textFormat: Text.PlainText
            color: "#b7e0a5"
            font.family: "monospace"
            font.pixelSize: 11
        }
    }
}
