#ifndef MODEL_VORNPARAM_H
#define MODEL_VORNPARAM_H

#include <QtCore/QMap>

#include <cstddef>

// The host's keyboard model: a block of plain data followed by the key remap table.
// Whole-model copies copy the plain block byte for byte and the map as a Qt container.
struct Model_VOrnParam
{
    // The plain data starts zeroed. Copies copy it as one block: a member-wise copy of
    // the record arrays goes byte by byte.
    Model_VOrnParam();
    Model_VOrnParam(const Model_VOrnParam &other);
    Model_VOrnParam &operator=(const Model_VOrnParam &other);

    enum : int {
        OledKeyRecordCount = 1080,
        OledKeyRecordSize = 101,
        PlainBlockSize = 24 + OledKeyRecordCount * OledKeyRecordSize
    };

    uchar reserved0[16];
    qint32 keyBoardVersion; // as reported by the keyboard; 605 has 13 shortcut keys
    uchar reserved1[4];
    uchar oledKeyRecords[OledKeyRecordCount][OledKeyRecordSize];
    QMap<int, int> keyMap; // physical key value -> key value it acts as

    // Text bytes per OLED line in host messages; set from the tone-processor version.
    static quint64 gOledLength;
};

static_assert(offsetof(Model_VOrnParam, keyBoardVersion) == 16, "model layout");
static_assert(offsetof(Model_VOrnParam, oledKeyRecords) == 24, "model layout");
static_assert(offsetof(Model_VOrnParam, keyMap) == Model_VOrnParam::PlainBlockSize, "model layout");
static_assert(Model_VOrnParam::PlainBlockSize == 109104, "model layout");
static_assert(sizeof(Model_VOrnParam) == 109112, "model layout");

#endif // MODEL_VORNPARAM_H
