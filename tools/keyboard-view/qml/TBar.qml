import QtQuick 2.15

// The T-bar: where the processor last put it (position 0..1024, alpha 0..128), the last
// T-bar reading it announced and its calibration limits, the raw values that give
// positions 0 and 1024. Dragging the fader sends raw T-bar values between those limits,
// as the keyboard's T-bar does.
Column {
    id: tbar

    property QtObject processor
    property int position: -1
    property int alpha: -1
    property int reading: -1
    property int lastRaw: -1

    function send(y) {
        if (!processor)
            return
        const fraction = 1 - Math.min(Math.max(y / track.height, 0), 1)
        const raw = Math.round(panel.tbarMin + fraction * (panel.tbarMax - panel.tbarMin))
        if (raw !== lastRaw) {
            lastRaw = raw
            keyInput.moveTbar(raw)
        }
    }

    objectName: "tbar"
    width: 92
    spacing: 4

    Text {
        text: qsTr("T-BAR")
        color: "#e6e8ec"
        font.pixelSize: 13
        font.bold: true
    }

    Rectangle {
        id: track

        objectName: "tbar.track"
        width: 36
        height: 150
        anchors.horizontalCenter: parent.horizontalCenter
        radius: 4
        color: "#14161a"
        border.color: "#363b46"

        Rectangle {
            width: 4
            height: parent.height - 16
            anchors.centerIn: parent
            color: "#363b46"
        }
        Rectangle {
            width: parent.width + 16
            height: 16
            x: -8
            y: (1 - Math.max(tbar.position, 0) / 1024) * (track.height - height)
            radius: 3
            color: area.pressed ? "#d0d4dc" : "#a9afbb"
        }
        MouseArea {
            id: area
            anchors.fill: parent
            anchors.margins: -8
            onPressed: tbar.send(mouse.y - 8)
            onPositionChanged: tbar.send(mouse.y - 8)
        }
    }

    Grid {
        columns: 2
        columnSpacing: 6
        rowSpacing: 2

        Text { text: qsTr("position"); color: "#8d93a0"; font.pixelSize: 11 }
        Text {
            objectName: "tbar.position"
            text: tbar.position < 0 ? "–" : tbar.position
            color: "#e6e8ec"
            font.pixelSize: 11
        }
        Text { text: qsTr("alpha"); color: "#8d93a0"; font.pixelSize: 11 }
        Text {
            objectName: "tbar.alpha"
            text: tbar.alpha < 0 ? "–" : tbar.alpha
            color: "#e6e8ec"
            font.pixelSize: 11
        }
        Text { text: qsTr("reading"); color: "#8d93a0"; font.pixelSize: 11 }
        Text {
            objectName: "tbar.reading"
            text: tbar.reading < 0 ? "–" : tbar.reading
            color: "#e6e8ec"
            font.pixelSize: 11
        }
        Text { text: qsTr("range"); color: "#8d93a0"; font.pixelSize: 11 }
        Text {
            objectName: "tbar.range"
            text: processor ? panel.tbarMin + ".." + panel.tbarMax : "–"
            color: "#e6e8ec"
            font.pixelSize: 11
        }
    }
}
