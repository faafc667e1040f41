#ifndef SYSTEMCALLS_H
#define SYSTEMCALLS_H

#include <sys/types.h>

#include <ctime>

// The system calls through which the library opens, writes, syncs, renames, removes and
// locks its files, as a table of function pointers. Tests replace entries to fail any
// call of a save in turn, to swap a file between the look at it and the open, or to let a
// wait for a lock pass without sleeping.
struct SystemCalls
{
    int (*openat)(int directory, const char *name, int flags, mode_t mode);
    ssize_t (*write)(int fd, const void *data, size_t size);
    int (*fdatasync)(int fd);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*renameat)(int fromDirectory, const char *from, int toDirectory, const char *to);
    int (*unlinkat)(int directory, const char *name, int flags);
    int (*flock)(int fd, int operation);
    int (*nanosleep)(const timespec *duration, timespec *remaining);

    // The table in use; the real calls unless a test replaced some.
    static SystemCalls &current();
    static const SystemCalls Real;
};

#endif // SYSTEMCALLS_H
