import QtQuick 2.15

// One key of the control keyboard. Pressing it sends the key's event as the keyboard
// does: the key value with data bytes A and B (a rocker's step, the modifier's state).
// A remapped key shows, in place of its caption, the key it acts as.
Rectangle {
    id: key

    property int keyValue
    property int dataA: 0
    property int dataB: 0
    property string caption
    property bool lit: false
    readonly property string actsAs: panel.remaps[keyValue] || ""

    objectName: "key" + keyValue
    width: 48
    height: 32
    radius: 4
    color: area.pressed ? "#5c6475" : "#363b46"
    border.color: lit ? "#f2b33d" : actsAs ? "#d77be0" : "#14161a"
    border.width: lit || actsAs ? 2 : 1

    Text {
        objectName: key.objectName + ".caption"
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 3
        width: parent.width - 4
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        maximumLineCount: 2
        elide: Text.ElideRight
        text: key.actsAs ? "→ " + key.actsAs : key.caption
        color: key.actsAs ? "#d77be0" : key.lit ? "#f2b33d" : "#c9cdd6"
        font.pixelSize: key.actsAs ? 8 : 10
        font.bold: true
    }

    MouseArea {
        id: area
        anchors.fill: parent
        onPressed: keyInput.pressKey(key.keyValue, key.dataA, key.dataB)
    }
}
