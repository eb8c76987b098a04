#include "tools/replay/ffmpeg.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/replay/stop.h"

namespace replay {

namespace {

// The last line ffmpeg wrote to LOG; at "-loglevel error" any line at all
// is a failure.
std::string LastLogLine(const std::string &log) {
    FILE *f = std::fopen(log.c_str(), "r");
    if (f == nullptr) return "";
    std::string last;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, f) != nullptr) {
        std::string line = buffer;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        if (!line.empty()) last = line;
    }
    std::fclose(f);
    return last;
}

}  // namespace

// Starts ffmpeg with ARGS; when stdinFd >= 0 it becomes the child's input.
// Its messages go to LOG: ffmpeg reports some failures (a trailer that could
// not be written) there and still exits with 0. It runs in a process group
// of its own, so that a Ctrl-C in the terminal stops the runner between
// passes, which then finishes the video, rather than killing the encoder.
// Its output never goes to the runner's: that may be a recording or a WAV.
bool Ffmpeg_Spawn(const std::vector<std::string> &args, int stdinFd, const std::string &log, pid_t *pid,
                  std::string *error) {
    std::vector<char *> argv;
    argv.reserve(args.size() + 1);
    for (const std::string &a : args) argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdinFd >= 0) posix_spawn_file_actions_adddup2(&actions, stdinFd, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
    const int rc = posix_spawnp(pid, argv[0], &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (rc == 0) {
        Stop_KeepChild(*pid);
        return true;
    }
    *error = std::string("--video: cannot run ffmpeg: ") + std::strerror(rc);
    return false;
}

// The child is reaped only once the signal handler can no longer reach it.
// A signal that came before the handler knew the child is seen in the count.
std::string Ffmpeg_Wait(pid_t pid, int since) {
    Stop_Waiting(pid);
    if (Stop_Count() > since) kill(pid, SIGKILL);
    siginfo_t info{};
    while (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
    }
    Stop_Waiting(0);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return std::string("cannot wait for ffmpeg: ") + std::strerror(errno);
    }
    Stop_ForgetChild(pid);
    if (Stop_Signal() != 0 && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        return std::string("stopped by signal ") + std::to_string(Stop_Signal()) + " before ffmpeg finished";
    if (WIFEXITED(status))
        return WEXITSTATUS(status) == 0 ? "" : "ffmpeg failed (status " + std::to_string(WEXITSTATUS(status)) + ")";
    return std::string("ffmpeg was ended by signal ") + std::to_string(WTERMSIG(status)) + " (" +
           strsignal(WTERMSIG(status)) + ")";
}

std::string Ffmpeg_Finished(pid_t pid, int since, const std::string &log) {
    std::string ended = Ffmpeg_Wait(pid, since);
    const std::string said = LastLogLine(log);
    if (said.empty()) return ended;
    return ended.empty() ? "ffmpeg: " + said : ended + ": " + said;
}

}  // namespace replay
