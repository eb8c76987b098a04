// The command-line tool over the run: parse, open, run pass by pass until
// the end or a stop signal, close, and say how it ended.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/replay/replay.h"
#include "tools/replay/stop.h"
#include "tools/replay/text.h"

namespace {

// A standard output or error that was closed would be taken by the first
// file opened, and a message meant for standard error would land in the
// trace: each closed one is held on /dev/null instead. (A closed standard
// input stays closed: "--input -" reports it.) Opened without
// close-on-exec, since where it lands on 1 or 2 it is that stream, which
// ffmpeg inherits; and asked with fstat, not fcntl, whose symbol needs a
// newer C library on 32-bit ARM than the handheld's programs may ask for.
void HoldStandardStreams() {
    const int null = open("/dev/null", O_RDWR);
    if (null < 0) return;
    struct stat st {};
    for (int fd = 1; fd <= 2; ++fd) {
        if (fd != null && fstat(fd, &st) != 0 && errno == EBADF) dup2(null, fd);
    }
    if (null != 1 && null != 2) close(null);
}

std::string SignalName(int sig) { return std::string("signal ") + std::to_string(sig) + " (" + strsignal(sig) + ")"; }

}  // namespace

int Replay_Main(int argc, char **argv) {
    HoldStandardStreams();
    ReplayOptions options;
    std::string error;
    const int parsed = Replay_ParseArgs(argc, argv, &options, &error);
    if (parsed == 1) {
        if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) return 0;
        replay::PrintError(std::string("cannot write the help: ") + std::strerror(errno));
        return 1;
    }
    if (parsed != 0) {
        replay::PrintError(error);
        return 2;
    }
    // Before SDL starts, which leaves handlers already set alone.
    replay::Stop_Catch();
    const int opened = Replay_Open(options, &error);
    if (opened != 0 && replay::Stop_Signal() != 0) {
        const int sig = replay::Stop_Signal();
        replay::PrintError("stopped by " + SignalName(sig) + " before the first pass; no output was written");
        return 128 + sig;
    }
    if (opened != 0) {
        replay::PrintError(error);
        return opened;
    }
    while (replay::Stop_Signal() == 0 && Replay_Pass() != 0) {
    }
    const int closed = Replay_Close();
    if (replay::Stop_Signal() != 0) {
        const int sig = replay::Stop_Signal();
        replay::PrintError("stopped by " + SignalName(sig) + " after " + std::to_string(Replay_View().nextPass) +
                           " passes; the outputs hold those passes" + (closed != 0 ? ", except as said above" : ""));
        return 128 + sig;
    }
    return closed;
}
