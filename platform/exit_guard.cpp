#include "platform/exit_guard.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

std::atomic<int> armed{0};
std::atomic<int> registered{0};
struct sigaction pipeBefore {};

// Runs before the libraries' own exit code (handlers run in reverse order
// of registration, and the libraries' come first).
void EndAtOnce() {
    if (armed.load() == 0) return;
    std::fflush(nullptr);
    _exit(1);
}

}  // namespace

void Gfx_ArmExitGuard() {
    if (registered.exchange(1) == 0) std::atexit(EndAtOnce);
    // The X library writes to its socket without MSG_NOSIGNAL: a write after
    // the server has gone would end the process by SIGPIPE before Xlib can
    // see the error and call exit(). Ignored, the write fails with EPIPE.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    if (armed.exchange(1) == 0) sigaction(SIGPIPE, &ignore, &pipeBefore);
}

void Gfx_DisarmExitGuard() {
    if (armed.exchange(0) == 1) sigaction(SIGPIPE, &pipeBefore, nullptr);
}
