#ifndef FUZZSTEPS_H
#define FUZZSTEPS_H

#include <QtCore/QMetaMethod>
#include <QtCore/QVector>

// How the message fuzz target reads its input: steps one after another, each a step
// byte followed by what the step reads. The seed generator writes such steps.
namespace FuzzSteps {

enum Step : uchar { Message, Timers, Call, Host, Ini, Wait, StepCount };

// A message's "how" byte: bits 0-1 its route, bits 2-3 its class (2, 3: 32 bits follow).
enum Route : uchar { Business, Usb, NewLayout, NullRecord, RouteCount };
const quint32 MessageClasses[] = {0x400000, 0x400100};

// A timer step's byte: which of the processor's timers' slots are called.
enum Timer : uchar { KeyRate = 1, TbarCheck = 2, TbarRead = 4 };

// A wait step's 16 bits, cut to MaxWait: milliseconds the virtual clock moves on, firing
// the timers due.
const quint16 MaxWait = 2047;

// A host step's byte; the first five in the order of the trace's host settings.
enum HostSetting : uchar {
    DeviceType,
    ConnectType,
    Debug,
    ToneVersion,
    TbarMode,
    OledLength,
    BootArgument,
    NewProcessor,
    WriteOledIni,
    HostSettingCount
};

// The slots and invokables a call step picks from: all but the profile transfer, which
// reaches the real removable-disk root, and taskCmdProcess, which messages reach.
const QVector<QMetaMethod> &callableMethods();

} // namespace FuzzSteps

#endif // FUZZSTEPS_H
