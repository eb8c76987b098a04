#include "tools/replay/video.h"

#include <SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/gfx.h"
#include "platform/snd.h"
#include "tools/replay/output.h"
#include "tools/replay/stop.h"

namespace replay {

namespace {

// Formats by file name: whether they carry sound, and the pixel format the
// encoder is asked for (empty: ffmpeg's choice).
struct VideoFormat {
    const char *suffix;
    bool sound;
    const char *pixels;
};
constexpr std::array<VideoFormat, 7> FORMATS{{
    {".mp4", true, "yuv420p"},
    {".mkv", true, "yuv420p"},
    {".webm", true, "yuv420p"},
    {".mov", true, "yuv420p"},
    {".gif", false, ""},
    {".apng", false, ""},
    {".webp", false, ""},
}};

// One frame per paced present: 1000 / 16 ms.
constexpr const char *FRAME_RATE = "125/2";

// A sound started in a frame reaches the device one to two blocks later
// (the mixer is double-buffered). Dropping the first 24 ms of the mixer's
// output puts each sound's start within half a frame of the picture that
// shows its cause.
constexpr int SOUND_LEAD_SAMPLES = SND_RATE * 24 / 1000;

struct Video {
    bool open = false;
    bool pending = false;  // a presented picture not taken yet
    bool failed = false;
    const VideoFormat *format = nullptr;
    std::string path;
    std::string dir;       // scratch directory
    std::string pictures;  // the picture-only encoding, in dir
    std::string why;       // the first failure
    bool written = false;  // an ffmpeg was started that writes the path itself
    pid_t encoder = -1;
    FILE *pipe = nullptr;
    std::array<std::uint8_t, SCREEN_W * SCREEN_H> frame{};
};

Video video;

const VideoFormat *FormatOf(const std::string &path) {
    for (const VideoFormat &f : FORMATS) {
        const std::size_t n = std::strlen(f.suffix);
        if (path.size() > n && path.compare(path.size() - n, n, f.suffix) == 0) return &f;
    }
    return nullptr;
}

// Starts ffmpeg with ARGS; when stdinFd >= 0 it becomes the child's input.
// Its messages go to LOG: ffmpeg reports some failures (a trailer that could
// not be written) there and still exits with 0. It runs in a process group
// of its own, so that a Ctrl-C in the terminal stops the runner between
// passes, which then finishes the video, rather than killing the encoder.
// Its output never goes to the runner's: that may be a recording or a WAV.
bool Spawn(const std::vector<std::string> &args, int stdinFd, const std::string &log, pid_t *pid, std::string *error) {
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

// The child's end: empty when it exited with 0, else how it ended. A stop
// signal while it runs ends it; it is reaped only once the signal handler
// can no longer reach it.
std::string Wait(pid_t pid) {
    Stop_Waiting(pid);
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

// Waits for a child and reads its log: empty when it did its work.
std::string Finished(pid_t pid, const std::string &log) {
    std::string ended = Wait(pid);
    const std::string said = LastLogLine(log);
    if (said.empty()) return ended;
    return ended.empty() ? "ffmpeg: " + said : ended + ": " + said;
}

// The scratch folder's files, the folder last.
std::array<std::string, 5> ScratchPaths() {
    return {video.pictures, video.dir + "/sound.wav", video.dir + "/encoder.log", video.dir + "/muxer.log", video.dir};
}

void RemoveScratch() {
    if (video.dir.empty()) return;
    for (const std::string &path : ScratchPaths()) {
        if (path == video.dir) rmdir(path.c_str());
        else std::remove(path.c_str());
        Stop_ForgetPath(path);
    }
    video.dir.clear();
}

// From here on ffmpeg writes the video's own path.
void Writing() {
    video.written = true;
    Stop_KeepPath(video.path, false);
}

// The first reason the video cannot be whole; reported once, at close.
void Fail(const std::string &why) {
    if (!video.failed) video.why = why;
    video.failed = true;
}

// A broken video is not left behind as if it were one. Only a file that
// ffmpeg was started to write is removed (not one that was there before and
// never reached, nor a device such as /dev/full).
void RemoveBroken() {
    struct stat st {};
    if (video.written && stat(video.path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) std::remove(video.path.c_str());
    Stop_ForgetPath(video.path);
}

// ffmpeg may exit with 0 having written nothing: a video is claimed only
// when its file is there, with something in it (a device takes it as is).
void CheckWritten() {
    struct stat st {};
    if (stat(video.path.c_str(), &st) != 0) Fail("ffmpeg finished without writing it");
    else if (S_ISREG(st.st_mode) && st.st_size == 0) Fail("ffmpeg finished leaving it empty");
}

}  // namespace

bool Video_Open(const std::string &path, long scale, std::string *wavPath, std::string *error) {
    video = Video{};
    video.path = path;
    video.format = FormatOf(path);
    if (video.format == nullptr) {
        *error = "--video: '" + path + "' must end in";
        for (const VideoFormat &f : FORMATS) *error += std::string(" ") + f.suffix;
        return false;
    }
    const char *tmp = std::getenv("TMPDIR");
    std::string dir = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/zultmirax-video.XXXXXX";
    if (mkdtemp(dir.data()) == nullptr) {
        *error = std::string("--video: cannot make a scratch directory: ") + std::strerror(errno);
        return false;
    }
    video.dir = dir;
    video.pictures = dir + "/pictures" + video.format->suffix;
    for (const std::string &p : ScratchPaths()) Stop_KeepPath(p, p == dir);
    *wavPath = video.format->sound ? dir + "/sound.wav" : "";

    const std::string size = std::to_string(SCREEN_W) + "x" + std::to_string(SCREEN_H);
    const std::string scaled = std::to_string(SCREEN_W * scale) + ":" + std::to_string(SCREEN_H * scale);
    // The picture only, written where it ends up when there is no sound.
    std::vector<std::string> args{"ffmpeg",     "-hide_banner", "-loglevel",
                                  "error",      "-nostdin",     "-y",
                                  "-f",         "rawvideo",     "-pixel_format",
                                  "gray",       "-video_size",  size,
                                  "-framerate", FRAME_RATE,     "-i",
                                  "pipe:0",     "-vf",          "scale=" + scaled + ":flags=neighbor"};
    if (*video.format->pixels != '\0') {
        args.insert(args.end(), {"-pix_fmt", video.format->pixels});
    }
    args.push_back(video.format->sound ? video.pictures : path);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        *error = std::string("--video: cannot make a pipe: ") + std::strerror(errno);
        RemoveScratch();
        return false;
    }
    if (!Spawn(args, fds[0], dir + "/encoder.log", &video.encoder, error)) {
        close(fds[0]);
        close(fds[1]);
        RemoveScratch();
        return false;
    }
    close(fds[0]);
    if (!video.format->sound) Writing();
    video.pipe = fdopen(fds[1], "wb");
    // A dead encoder shows as a write error, not as the end of the runner.
    signal(SIGPIPE, SIG_IGN);
    video.open = true;
    return true;
}

void Video_Presented() { video.pending = video.open; }

void Video_Settle() {
    if (!video.pending) return;
    video.pending = false;
    const SDL_Surface *s = Gfx_View().screen;
    if (s == nullptr) return;
    // The screen holds grey pixels only: any one channel is the grey level.
    const SDL_PixelFormat *f = s->format;
    const auto *base = static_cast<const std::uint8_t *>(s->pixels);
    for (int y = 0; y < SCREEN_H; ++y) {
        const auto *row = reinterpret_cast<const std::uint32_t *>(base + static_cast<std::size_t>(y) * s->pitch);
        for (int x = 0; x < SCREEN_W; ++x) {
            video.frame[static_cast<std::size_t>(y) * SCREEN_W + x] =
                static_cast<std::uint8_t>((row[x] & f->Gmask) >> f->Gshift);
        }
    }
    if (!video.failed && std::fwrite(video.frame.data(), video.frame.size(), 1, video.pipe) != 1) {
        Fail(std::string("the encoder stopped taking frames: ") + std::strerror(errno));
    }
}

bool Video_Failed() { return video.failed; }

bool Video_Close(const std::string &wavPath, bool soundWritten) {
    if (!video.open) return true;
    video.open = false;
    if (!soundWritten) Fail("its sound track could not be written");
    if (std::fclose(video.pipe) != 0) Fail(std::string("the encoder stopped taking frames: ") + std::strerror(errno));
    video.pipe = nullptr;
    const std::string encoded = Finished(video.encoder, video.dir + "/encoder.log");
    video.encoder = -1;
    if (!encoded.empty()) Fail(encoded);
    if (!video.failed && video.format->sound) {
        std::string error;
        pid_t muxer = -1;
        const std::vector<std::string> args{
            "ffmpeg",    "-hide_banner",
            "-loglevel", "error",
            "-nostdin",  "-y",
            "-i",        video.pictures,
            "-i",        wavPath,
            "-map",      "0:v",
            "-map",      "1:a",
            "-c:v",      "copy",
            "-af",       "atrim=start_sample=" + std::to_string(SOUND_LEAD_SAMPLES) + ",asetpts=PTS-STARTPTS",
            video.path};
        if (!Spawn(args, -1, video.dir + "/muxer.log", &muxer, &error)) {
            Fail(error.substr(std::strlen("--video: ")));
        } else {
            Writing();
            const std::string muxed = Finished(muxer, video.dir + "/muxer.log");
            if (!muxed.empty()) Fail(muxed);
        }
    }
    RemoveScratch();
    if (!video.failed) CheckWritten();
    if (video.failed) {
        RemoveBroken();
        std::fprintf(stderr, "%s: --video: no video was written to '%s': %s\n", PROGRAM, video.path.c_str(),
                     video.why.c_str());
    }
    Stop_ForgetPath(video.path);
    return !video.failed;
}

void Video_Abandon() {
    if (video.pipe != nullptr) std::fclose(video.pipe);
    video.pipe = nullptr;
    if (video.encoder > 0) Wait(video.encoder);
    video.encoder = -1;
    RemoveBroken();
    video.open = video.pending = false;
    RemoveScratch();
}

}  // namespace replay
