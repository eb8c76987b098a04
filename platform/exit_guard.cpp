#include "platform/exit_guard.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

std::atomic<int> armed{0};
std::atomic<int> registered{0};

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
    armed.store(1);
}

void Gfx_DisarmExitGuard() { armed.store(0); }
