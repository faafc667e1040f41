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

// The host's Qt 5 record. Under Qt 6 the implicitly shared members are larger, which
// moves the fields after them; the order and the plain fields stay, and the library reads
// every field by name, so it follows the offsets of the Qt it is built with.
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
#else
static_assert(offsetof(model_Protocoldata, source) == 0, "record layout");
static_assert(offsetof(model_Protocoldata, sequence) == sizeof(QString), "record layout");
static_assert(offsetof(model_Protocoldata, raw) > offsetof(model_Protocoldata, sequence),
              "record layout");
static_assert(offsetof(model_Protocoldata, header)
                      == offsetof(model_Protocoldata, raw) + sizeof(QByteArray),
              "record layout");
static_assert(offsetof(model_Protocoldata, command) == offsetof(model_Protocoldata, header) + 14,
              "record layout");
static_assert(offsetof(model_Protocoldata, subCommand) == offsetof(model_Protocoldata, command) + 1,
              "record layout");
static_assert(offsetof(model_Protocoldata, dataA) == offsetof(model_Protocoldata, command) + 2,
              "record layout");
static_assert(offsetof(model_Protocoldata, byte29) == offsetof(model_Protocoldata, command) + 3,
              "record layout");
static_assert(offsetof(model_Protocoldata, byte2A) == offsetof(model_Protocoldata, command) + 4,
              "record layout");
static_assert(offsetof(model_Protocoldata, trailer) == offsetof(model_Protocoldata, command) + 5,
              "record layout");
static_assert(offsetof(model_Protocoldata, target) >= offsetof(model_Protocoldata, trailer) + 5,
              "record layout");
static_assert(offsetof(model_Protocoldata, payload)
                      == offsetof(model_Protocoldata, target) + sizeof(QString),
              "record layout");
static_assert(offsetof(model_Protocoldata, timestamp)
                      == offsetof(model_Protocoldata, payload) + sizeof(QByteArray),
              "record layout");
static_assert(offsetof(model_Protocoldata, messageClass)
                      == offsetof(model_Protocoldata, timestamp) + 4,
              "record layout");
#endif

#endif // MODEL_PROTOCOLDATA_H
