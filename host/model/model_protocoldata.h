#ifndef MODEL_PROTOCOLDATA_H
#define MODEL_PROTOCOLDATA_H

#include <QtCore/QByteArray>
#include <QtCore/QString>

#include <cstddef>

// One protocol message from the keyboard, as the host's business object hands it out.
// The byte offsets are shared with the task-command library and must not move.
class model_Protocoldata
{
public:
    model_Protocoldata();
    model_Protocoldata(const model_Protocoldata &other);
    model_Protocoldata &operator=(const model_Protocoldata &other);
    ~model_Protocoldata();

    QString source; // sending component, host bookkeeping
    quint16 sequence = 0; // host bookkeeping
    QByteArray raw; // frame as received, host bookkeeping
    uchar header[14] = {}; // transport header, host bookkeeping
    uchar command = 0; // message kind
    uchar subCommand = 0; // variant; data byte B in key events
    uchar dataA = 0; // first data byte; group id of group OLED messages
    uchar byte29 = 0; // key value low byte in key events
    uchar byte2A = 0; // key value high byte in key events
    uchar trailer[5] = {}; // host bookkeeping
    QString target; // receiving component, host bookkeeping
    QByteArray payload; // frame or OLED content bytes
    quint32 timestamp = 0; // host bookkeeping
    quint32 messageClass = 0; // 0x400000 or 0x400100 for keyboard messages
};

// The host's Qt 5 record, byte for byte. Under Qt 6 QString and QByteArray take 24 bytes
// instead of 8, which moves every field after the first; the library reads each field by
// name, so it follows the layout of the Qt it is built with.
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
static_assert(offsetof(model_Protocoldata, source) == 0x00, "record layout");
static_assert(offsetof(model_Protocoldata, sequence) == 0x08, "record layout");
static_assert(offsetof(model_Protocoldata, raw) == 0x10, "record layout");
static_assert(offsetof(model_Protocoldata, header) == 0x18, "record layout");
static_assert(offsetof(model_Protocoldata, command) == 0x26, "record layout");
static_assert(offsetof(model_Protocoldata, subCommand) == 0x27, "record layout");
static_assert(offsetof(model_Protocoldata, dataA) == 0x28, "record layout");
static_assert(offsetof(model_Protocoldata, byte29) == 0x29, "record layout");
static_assert(offsetof(model_Protocoldata, byte2A) == 0x2a, "record layout");
static_assert(offsetof(model_Protocoldata, trailer) == 0x2b, "record layout");
static_assert(offsetof(model_Protocoldata, target) == 0x30, "record layout");
static_assert(offsetof(model_Protocoldata, payload) == 0x38, "record layout");
static_assert(offsetof(model_Protocoldata, timestamp) == 0x40, "record layout");
static_assert(offsetof(model_Protocoldata, messageClass) == 0x44, "record layout");
static_assert(sizeof(model_Protocoldata) == 0x48, "record layout");
#endif
// Under either Qt: each field where the one before it ends (the 16-bit sequence padded to
// the next member), and command, sub-command, data A, 0x29 and 0x2a side by side.
namespace ModelProtocolLayout {
using Record = model_Protocoldata;
static_assert(offsetof(Record, sequence) == offsetof(Record, source) + sizeof(QString));
static_assert(offsetof(Record, raw) == offsetof(Record, sequence) + alignof(QByteArray));
static_assert(offsetof(Record, header) == offsetof(Record, raw) + sizeof(QByteArray));
static_assert(offsetof(Record, command) == offsetof(Record, header) + 14);
static_assert(offsetof(Record, trailer) == offsetof(Record, command) + 5);
static_assert(offsetof(Record, target) == offsetof(Record, trailer) + 5);
static_assert(offsetof(Record, payload) == offsetof(Record, target) + sizeof(QString));
static_assert(offsetof(Record, timestamp) == offsetof(Record, payload) + sizeof(QByteArray));
static_assert(offsetof(Record, messageClass) == offsetof(Record, timestamp) + 4);
} // namespace ModelProtocolLayout

#endif // MODEL_PROTOCOLDATA_H
