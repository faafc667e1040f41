import vorn.UiprocDealKeyPress 1.0

// The host's user interface: one DealKeyPress, which the host's C++ connects once QML made
// it, and a handler per signal it acts on. A real host puts this object into its window.
DealKeyPress {
    onSigKeyBoradStates: (isRun) => console.log("keyboard state", isRun)
    onSigKeyBoardSN: (strSN) => console.log("serial number", strSN)
    onSendUpdateVersion: (str_ver) => console.log("tone processor", str_ver)
    onSig_updateOledShow: (nKeyValue, nModel, nIcon, strFirst, strSecend) =>
        console.log("OLED", nKeyValue, nModel, nIcon, strFirst, strSecend)
    onSig_changeAlpha: (value, defValue) => console.log("T-bar alpha", value, "position", defValue)
    onSig_changeInput: (index) => console.log("input", index)
    onSig_changeOutput: (index) => console.log("output", index)
    onSig_warrFreqMsg: () => console.log("keys too fast")
}
