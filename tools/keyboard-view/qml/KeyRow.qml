import QtQuick 2.15

// One group of the keyboard: its title and selected key (numbered from 1, as the keys
// are), its function keys, its single OLED key and its sixteen OLED keys, of which the
// selected one is lit.
Row {
    id: row

    property string title
    property int firstKey
    property int singleKey
    property string singleCaption
    // [key value, caption] pairs
    property var functionKeys: []
    property int selected: -1 // the index the processor announced, from 0
    property var registry

    spacing: 5

    Column {
        width: 78
        anchors.verticalCenter: parent.verticalCenter
        spacing: 4

        Text {
            text: row.title
            color: "#e6e8ec"
            font.pixelSize: 13
            font.bold: true
        }
        Text {
            objectName: row.objectName + ".selected"
            text: row.selected < 0 ? "–" : row.selected + 1
            color: "#f2b33d"
            font.pixelSize: 12
        }
    }

    Grid {
        width: 86
        anchors.verticalCenter: parent.verticalCenter
        columns: 2
        spacing: 4

        Repeater {
            model: row.functionKeys

            Key {
                width: 40
                height: 28
                keyValue: modelData[0]
                caption: modelData[1]
            }
        }
    }

    OledKey {
        keyValue: row.singleKey
        caption: row.singleCaption
        registry: row.registry
    }

    Item {
        width: 5
        height: 1
    }

    Repeater {
        model: 16

        OledKey {
            keyValue: row.firstKey + index
            caption: index + 1
            lit: index === row.selected
            registry: row.registry
        }
    }
}
