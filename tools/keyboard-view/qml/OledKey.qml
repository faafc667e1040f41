import QtQuick 2.15

// A key with an OLED: both text lines, and a badge at the screen's foot with the display
// model (M) and the icon index (I) until the keyboard's icons exist here. The key enters itself in
// registry, by key value, for the window's OLED handler.
Key {
    id: key

    property var registry
    property string firstText
    property string secondText
    property int displayModel: 0
    property int iconIndex: 0

    function show(first, second, model, icon) {
        firstText = first
        secondText = second
        displayModel = model
        iconIndex = icon
    }

    width: 58
    height: 64
    Component.onCompleted: registry[keyValue] = key

    Rectangle {
        x: 3
        y: 3
        width: parent.width - 6
        height: 34
        color: "#05090c"
        radius: 2

        // Both lines above the badge.
        Column {
            anchors.fill: parent
            anchors.leftMargin: 2
            anchors.rightMargin: 2
            anchors.topMargin: 1

            Text {
                objectName: key.objectName + ".first"
                width: parent.width
                elide: Text.ElideRight
                textFormat: Text.PlainText
                text: key.firstText
                color: "#9fe3ff"
                font.pixelSize: 9
            }
            Text {
                objectName: key.objectName + ".second"
                width: parent.width
                elide: Text.ElideRight
                textFormat: Text.PlainText
                text: key.secondText
                color: "#6fb6d6"
                font.pixelSize: 9
            }
        }
    }

    Rectangle {
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.rightMargin: 4
        anchors.topMargin: 27
        width: badge.implicitWidth + 4
        height: 10
        radius: 2
        color: "#2b557f"
        visible: key.displayModel !== 0 || key.iconIndex !== 0

        Text {
            id: badge
            objectName: key.objectName + ".badge"
            anchors.centerIn: parent
            text: "M" + key.displayModel + " I" + key.iconIndex
            color: "white"
            font.pixelSize: 8
        }
    }
}
