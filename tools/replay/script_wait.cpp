#include "tools/replay/script_wait.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>

#include <cerrno>

#include "tools/replay/stop.h"

namespace replay {

namespace {

// The signal mask as it was before the read, which the wait lets in.
sigset_t unheld;

}  // namespace

// A FIFO is opened without waiting for its writer, then read blocking as
// any file (FIONBIO rather than fcntl, whose symbol needs a newer C library
// on 32-bit ARM than the handheld's programs may ask for).
int ScriptWait_Open(const std::string &path) {
    if (path == "-") return 0;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    int blocking = 0;
    if (fd >= 0) ioctl(fd, FIONBIO, &blocking);
    return fd;
}

void ScriptWait_Hold() {
    sigset_t held;
    sigemptyset(&held);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&held, sig);
    sigprocmask(SIG_BLOCK, &held, &unheld);
}

void ScriptWait_Release() { sigprocmask(SIG_SETMASK, &unheld, nullptr); }

// Every wait is a ppoll, which a signal always interrupts (a read is
// restarted, so a Ctrl-C would go unseen until the data came).
int ScriptWait_Readable(int fd) {
    for (;;) {
        if (Stop_Signal() != 0) return Stop_Signal();
        pollfd p{fd, POLLIN, 0};
        if (ppoll(&p, 1, nullptr, &unheld) >= 0) return 0;
        if (errno != EINTR) return -1;
    }
}

}  // namespace replay
