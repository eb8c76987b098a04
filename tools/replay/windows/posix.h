// The few POSIX calls the runner makes, on Windows' C library: the Windows
// build includes this ahead of every runner source (tools/replay/
// CMakeLists.txt), so the sources stay as Linux has them.
#pragma once
#include <fcntl.h>
#include <io.h>

#include <sys/types.h>

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdlib>

// Nothing is executed there; the script is read as bytes, as on Linux.
#define O_CLOEXEC O_BINARY

inline int setenv(const char *name, const char *value, int overwrite) {
    if (overwrite == 0 && std::getenv(name) != nullptr) return 0;
    return _putenv_s(name, value);
}

// No symbolic links to follow: every name is the file itself.
inline ssize_t readlink(const char *, char *, std::size_t) {
    errno = EINVAL;
    return -1;
}

// Closing the console window comes as SIGBREAK, a hang-up's nearest kin.
#define SIGHUP SIGBREAK
#define SA_RESETHAND 0  // the C library's signal() resets the handler anyway
#define SA_RESTART 0

struct sigaction {
    void (*sa_handler)(int);
    int sa_flags;
    int sa_mask;
};

inline int sigemptyset(int *mask) {
    *mask = 0;
    return 0;
}

inline int sigaction(int sig, const struct sigaction *set, struct sigaction *old) {
    void (*before)(int) = std::signal(sig, set != nullptr ? set->sa_handler : SIG_DFL);
    if (before == SIG_ERR) return -1;
    if (set == nullptr) std::signal(sig, before);  // only asked
    if (old != nullptr) *old = {before, 0, 0};
    return 0;
}

inline const char *strsignal(int sig) {
    switch (sig) {
    case SIGINT: return "Interrupt";
    case SIGTERM: return "Terminated";
    case SIGBREAK: return "Console closed";
    default: return "Unknown signal";
    }
}
