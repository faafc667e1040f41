import QtQuick 2.15
import QtQuick.Window 2.15
import vorn.UiprocDealKeyPress 1.0

// The control keyboard as the processor's signals draw it. The handlers read each
// signal's arguments by name, as the host's user interface does; the keys send their
// events through the host's message path.
Window {
    id: window

    property QtObject processor: null
    // OLED keys by key value; the keys enter themselves.
    readonly property var oledKeys: ({})

    // Called by the host session when the trace or a key press first needs the processor.
    function startProcessor() {
        processor = processorComponent.createObject(window)
        return processor
    }

    width: 1640
    height: 750
    color: "#1f2228"
    title: qsTr("Keyboard view")

    component Indicator: Text {
        property bool on
        property string onText
        property string offText

        text: on ? onText : offText
        color: on ? "#f2b33d" : "#8d93a0"
        font.pixelSize: 12
        font.bold: on
    }

    Component {
        id: processorComponent

        DealKeyPress {}
    }

    Connections {
        target: window.processor

        function onSig_updateOledShow(nKeyValue, nModel, nIcon, strFirst, strSecend) {
            const key = window.oledKeys[nKeyValue]
            if (key)
                key.show(strFirst, strSecend, nModel, nIcon)
        }
        function onSig_changeBank(index) { bankRow.selected = index }
        function onSig_shortCut(index) { shortcutRow.selected = index }
        function onSig_creatNewLayer(index) { layerRow.selected = index }
        function onSig_changeInput(index) { inputRow.selected = index }
        function onSig_changeOutput(index) { outputRow.selected = index }
        function onSig_changeAlpha(value, defValue) {
            tbar.alpha = value
            tbar.position = defValue
        }
        function onSigTbarValue(nValue) { tbar.reading = nValue }
        function onSigKeyBoradStates(isRun) { status.connected = isRun }
        function onSigKeyBoardSN(strSN) { status.serial = strSN }
        function onSig_keyBoardVersion(value) { status.version = value }
        function onSendUpdateVersion(str_ver) { status.toneVersion = str_ver }
    }

    Column {
        id: keyboard

        x: 12
        y: 12
        spacing: 10

        Row {
            id: status

            property bool connected: false
            property string serial: "–"
            property string version: "–"
            property string toneVersion: "–"

            height: 18
            spacing: 24

            Text {
                text: qsTr("keyboard %1").arg(status.connected ? qsTr("connected") : qsTr("not connected"))
                color: status.connected ? "#8fd18a" : "#8d93a0"
                font.pixelSize: 12
            }
            Text { text: qsTr("serial %1").arg(status.serial); color: "#c9cdd6"; font.pixelSize: 12 }
            Text { text: qsTr("version %1").arg(status.version); color: "#c9cdd6"; font.pixelSize: 12 }
            Text { text: qsTr("tone processor %1").arg(status.toneVersion); color: "#c9cdd6"; font.pixelSize: 12 }
            Text {
                text: qsTr("badge: M display model, I icon    → the key a remapped key acts as")
                color: "#8d93a0"
                font.pixelSize: 12
            }
        }

        // What decides whether a key acts: the lock, the FN modifier, the device key lock
        // and the key-rate guard, lit while they are on.
        Row {
            height: 18
            spacing: 24

            Indicator {
                objectName: "lock"
                on: panel.locked
                onText: qsTr("LOCKED: only LOCK acts")
                offText: qsTr("unlocked")
            }
            Indicator {
                objectName: "fn"
                on: panel.fnHeld
                onText: qsTr("FN HELD: only TAB acts")
                offText: qsTr("FN released")
            }
            Indicator {
                objectName: "deviceLock"
                on: panel.deviceLock
                onText: qsTr("DEVICE KEY LOCK: keys dropped")
                offText: qsTr("device key lock off")
            }
            Indicator {
                objectName: "guard"
                on: panel.guardArmed
                onText: qsTr("KEY-RATE GUARD armed: keys warn")
                offText: qsTr("key-rate guard idle")
            }
        }

        // Why the last key did nothing, or something else than its own action; it fades.
        Text {
            id: notice

            objectName: "notice"
            width: bankRow.width
            height: 30
            wrapMode: Text.Wrap
            maximumLineCount: 2
            elide: Text.ElideRight
            text: panel.notice
            color: "#f2b33d"
            font.pixelSize: 12
            opacity: 0

            // A timer rather than a paused animation: a running animation has the window
            // draw every frame.
            Timer {
                id: hold
                interval: 4000
                onTriggered: fade.start()
            }
            NumberAnimation {
                id: fade
                target: notice
                property: "opacity"
                to: 0
                duration: 1500
            }
            Connections {
                target: panel
                function onNoticeChanged() {
                    fade.stop()
                    notice.opacity = 1
                    hold.restart()
                }
            }
        }

        KeyRow {
            id: bankRow
            objectName: "bank"
            title: qsTr("BANK")
            firstKey: 105
            singleKey: 100
            singleCaption: qsTr("SYNC")
            functionKeys: [[101, "▲"], [102, "▼"], [103, qsTr("SAVE")], [104, qsTr("CLR")]]
            registry: window.oledKeys
        }
        KeyRow {
            id: shortcutRow
            objectName: "shortcut"
            title: qsTr("SHORTCUT")
            firstKey: 203
            singleKey: 200
            singleCaption: qsTr("USER")
            functionKeys: [[201, "▲"], [202, "▼"], [219, qsTr("TEST")]]
            registry: window.oledKeys
        }
        KeyRow {
            id: layerRow
            objectName: "layer"
            title: qsTr("LAYER")
            firstKey: 313
            singleKey: 300
            singleCaption: qsTr("SELECT")
            functionKeys: [[301, "▲"], [302, "▼"], [303, qsTr("ALL")], [304, qsTr("DEL")]]
            registry: window.oledKeys
        }
        KeyRow {
            id: inputRow
            objectName: "input"
            title: qsTr("INPUT")
            firstKey: 403
            singleKey: 400
            singleCaption: qsTr("USER")
            functionKeys: [[401, "▲"], [402, "▼"]]
            registry: window.oledKeys
        }
        KeyRow {
            id: outputRow
            objectName: "output"
            title: qsTr("OUTPUT")
            firstKey: 505
            singleKey: 500
            singleCaption: qsTr("USER")
            functionKeys: [[501, "▲"], [502, "▼"], [503, qsTr("ALL")], [504, qsTr("CLR")]]
            registry: window.oledKeys
        }

        Row {
            spacing: 28
            topPadding: 12

            Column {
                spacing: 6

                Text { text: qsTr("TRANSITION"); color: "#e6e8ec"; font.pixelSize: 13; font.bold: true }
                Grid {
                    columns: 5
                    spacing: 6

                    Repeater {
                        model: [[56, qsTr("TAKE")], [57, qsTr("CUT")], [62, qsTr("MATCH")],
                            [63, qsTr("FRZ PST")], [64, qsTr("FRZ PGM")]]

                        Key { width: 56; height: 40; keyValue: modelData[0]; caption: modelData[1] }
                    }
                    Repeater {
                        model: [[58, qsTr("DIMMER")], [59, qsTr("BLACK")], [60, qsTr("WIPE")],
                            [61, qsTr("MIX")]]

                        OledKey { keyValue: modelData[0]; caption: modelData[1]; registry: window.oledKeys }
                    }
                    Key { width: 56; height: 40; keyValue: 66; caption: qsTr("SEL") }
                }
            }

            Column {
                spacing: 6

                Text { text: qsTr("LAYER TOOLS"); color: "#e6e8ec"; font.pixelSize: 13; font.bold: true }
                Grid {
                    columns: 4
                    spacing: 6

                    Repeater {
                        model: [[305, qsTr("SCALE")], [306, qsTr("MAX")], [307, qsTr("POS")],
                            [308, qsTr("CROP")], [309, "X"], [310, "Y"], [311, "H"], [312, "V"]]

                        Key { keyValue: modelData[0]; caption: modelData[1] }
                    }
                }
            }

            Column {
                spacing: 6

                Text { text: qsTr("NUMBER PAD"); color: "#e6e8ec"; font.pixelSize: 13; font.bold: true }
                Grid {
                    columns: 3
                    spacing: 6

                    Repeater {
                        model: [[27, "7"], [28, "8"], [29, "9"], [24, "4"], [25, "5"], [26, "6"],
                            [21, "1"], [22, "2"], [23, "3"], [32, qsTr("DEL")], [20, "0"],
                            [31, qsTr("ENTER")], [87, qsTr("TAB")]]

                        Key { keyValue: modelData[0]; caption: modelData[1] }
                    }
                }
            }

            Column {
                spacing: 6

                Text { text: qsTr("ROCKERS"); color: "#e6e8ec"; font.pixelSize: 13; font.bold: true }
                Repeater {
                    model: 4

                    Row {
                        spacing: 6

                        Text {
                            width: 24
                            anchors.verticalCenter: parent.verticalCenter
                            text: "R" + (index + 1)
                            color: "#c9cdd6"
                            font.pixelSize: 11
                        }
                        // The step travels in data bytes A and B: 0xffff one step down.
                        Key {
                            objectName: "rocker" + keyValue + ".down"
                            keyValue: 13 + index
                            dataA: 0xff
                            dataB: 0xff
                            caption: "−"
                        }
                        Key {
                            objectName: "rocker" + keyValue + ".up"
                            keyValue: 13 + index
                            dataB: 1
                            caption: "+"
                        }
                    }
                }
            }

            Column {
                spacing: 6

                Text { text: qsTr("PANEL"); color: "#e6e8ec"; font.pixelSize: 13; font.bold: true }
                Key {
                    width: 56
                    height: 40
                    keyValue: 65
                    caption: qsTr("LOCK")
                    lit: panel.locked
                }
                // The group-key modifier is held until pressed again.
                Key {
                    width: 56
                    height: 40
                    keyValue: 83
                    dataB: panel.fnHeld ? 0 : 5
                    caption: qsTr("FN")
                    lit: panel.fnHeld
                }
            }

            TBar {
                id: tbar
                processor: window.processor
            }
        }
    }

    SignalPanel {
        anchors.left: keyboard.right
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.margins: 12
    }
}
