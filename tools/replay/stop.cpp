#include "tools/replay/stop.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <csignal>
#include <cstring>

namespace replay {

namespace {

// The handler may run on any thread (SDL keeps its own), so what it reads
// is atomic; it calls only async-signal-safe functions.
volatile std::sig_atomic_t stopSignal = 0;
std::atomic<int> signalCount{0};
std::atomic<pid_t> waiting{0};

constexpr std::size_t CHILDREN = 2;  // the encoder, then the muxer
std::array<std::atomic<pid_t>, CHILDREN> children{};

enum Kind : int { FREE, FILE_PATH, DIRECTORY };
constexpr std::size_t PATH_BYTES = 4096;
struct Doomed {
    std::atomic<int> kind{FREE};
    std::array<char, PATH_BYTES> path{};
};
constexpr std::size_t DOOMED = 8;  // the scratch folder, four files in it, the video
std::array<Doomed, DOOMED> doomed;

void ForcedStop(int sig) {
    for (std::atomic<pid_t> &c : children) {
        const pid_t pid = c.load();
        if (pid <= 0) continue;
#ifndef __EMSCRIPTEN__  // the browser build starts no processes
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);  // dead before its files go: it opens none after
#endif
    }
    // The files, then the folders they are in.
    for (const Doomed &d : doomed) {
        if (d.kind.load() == FILE_PATH) unlink(d.path.data());
    }
    for (const Doomed &d : doomed) {
        if (d.kind.load() == DIRECTORY) rmdir(d.path.data());
    }
    static constexpr char MESSAGE[] =
        "zultmirax-replay: stopped at once by a second signal; the outputs written so far are cut short\n";
    const ssize_t unused = write(2, MESSAGE, sizeof MESSAGE - 1);
    (void)unused;
    _exit(128 + sig);
}

void OnStopSignal(int sig) {
    stopSignal = sig;
    const int count = ++signalCount;
    const pid_t child = waiting.load();
    if (child > 0) {
#ifndef __EMSCRIPTEN__
        kill(child, SIGKILL);
#endif
        return;
    }
    if (count >= 2) ForcedStop(sig);
}

}  // namespace

void Stop_Catch() {
    struct sigaction sa {};
    sa.sa_handler = OnStopSignal;
    sa.sa_flags = SA_RESTART;
    sigemptyset(&sa.sa_mask);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&sa.sa_mask, sig);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old {};
        // A signal ignored by whoever started the run (nohup, a background
        // job) stays ignored.
        if (sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        sigaction(sig, &sa, nullptr);
    }
}

int Stop_Signal() { return stopSignal; }

int Stop_Count() { return signalCount.load(); }

void Stop_Waiting(pid_t child) { waiting.store(child); }

void Stop_KeepChild(pid_t child) {
    for (std::atomic<pid_t> &c : children) {
        pid_t free = 0;
        if (c.compare_exchange_strong(free, child)) return;
    }
}

void Stop_ForgetChild(pid_t child) {
    for (std::atomic<pid_t> &c : children) {
        pid_t kept = child;
        c.compare_exchange_strong(kept, 0);
    }
}

void Stop_KeepPath(const std::string &path, bool directory) {
    if (path.size() >= PATH_BYTES) return;
    for (Doomed &d : doomed) {
        if (d.kind.load() != FREE) continue;
        std::memcpy(d.path.data(), path.c_str(), path.size() + 1);
        d.kind.store(directory ? DIRECTORY : FILE_PATH);
        return;
    }
}

void Stop_ForgetPath(const std::string &path) {
    for (Doomed &d : doomed) {
        if (d.kind.load() != FREE && path == d.path.data()) d.kind.store(FREE);
    }
}

}  // namespace replay
