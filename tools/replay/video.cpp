#include "tools/replay/video.h"

#include <SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/gfx.h"
#include "platform/snd.h"
#include "tools/replay/ffmpeg.h"
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
    if (!Ffmpeg_Spawn(args, fds[0], dir + "/encoder.log", &video.encoder, error)) {
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
    const std::string encoded = Ffmpeg_Finished(video.encoder, Stop_Count(), video.dir + "/encoder.log");
    video.encoder = -1;
    if (!encoded.empty()) Fail(encoded);
    if (!video.failed && video.format->sound) {
        std::string error;
        pid_t muxer = -1;
        const int since = Stop_Count();  // a signal from now on ends the muxer
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
        if (!Ffmpeg_Spawn(args, -1, video.dir + "/muxer.log", &muxer, &error)) {
            Fail(error.substr(std::strlen("--video: ")));
        } else {
            Writing();
            const std::string muxed = Ffmpeg_Finished(muxer, since, video.dir + "/muxer.log");
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
    if (video.encoder > 0) Ffmpeg_Wait(video.encoder, Stop_Count());
    video.encoder = -1;
    RemoveBroken();
    video.open = video.pending = false;
    RemoveScratch();
}

}  // namespace replay
