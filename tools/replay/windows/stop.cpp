// Stop signals on Windows: a Ctrl-C or Ctrl-Break in the console, or the
// console window closed. Windows' runner starts no children and keeps no
// scratch files (it makes no video), so a second signal has only the run
// to end.
#include <io.h>

#include <csignal>
#include <cstdlib>

#include "tools/replay/stop.h"

namespace replay {

namespace {

volatile std::sig_atomic_t stopSignal = 0;
volatile std::sig_atomic_t signalCount = 0;

void OnStopSignal(int sig) {
    stopSignal = sig;
    signalCount = signalCount + 1;
    if (signalCount >= 2) {
        static constexpr char MESSAGE[] =
            "zultmirax-replay: stopped at once by a second signal; the outputs written so far are cut short\n";
        _write(2, MESSAGE, sizeof MESSAGE - 1);
        std::_Exit(128 + sig);
    }
    std::signal(sig, OnStopSignal);  // the C library resets the handler before calling it
}

}  // namespace

void Stop_Catch() {
    for (const int sig : {SIGINT, SIGTERM, SIGBREAK}) {
        if (std::signal(sig, OnStopSignal) == SIG_IGN) std::signal(sig, SIG_IGN);
    }
}

int Stop_Signal() { return stopSignal; }
int Stop_Count() { return signalCount; }

void Stop_Waiting(pid_t) {}
void Stop_KeepChild(pid_t) {}
void Stop_ForgetChild(pid_t) {}
void Stop_KeepPath(const std::string &, bool) {}
void Stop_ForgetPath(const std::string &) {}

}  // namespace replay
