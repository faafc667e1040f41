#include "systemcalls.h"

#include <cstdio>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

int openAt(int directory, const char *name, int flags, mode_t mode)
{
    return ::openat(directory, name, flags, mode);
}

} // namespace

const SystemCalls SystemCalls::Real = {openAt,     ::write,    ::fdatasync, ::fsync,    ::close,
                                       ::renameat, ::unlinkat, ::flock,     ::nanosleep};

SystemCalls &SystemCalls::current()
{
    static SystemCalls calls = Real;
    return calls;
}
