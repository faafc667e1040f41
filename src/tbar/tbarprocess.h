#ifndef TBARPROCESS_H
#define TBARPROCESS_H

// The T-bar process is the host process started with the argument "Tbar": it writes the
// positions it accepts to the shared segment and never polls it. Every other process
// polls the segment.
namespace TbarProcess {

// Asks the host for its start argument on every call.
bool isCurrent();

} // namespace TbarProcess

#endif // TBARPROCESS_H
