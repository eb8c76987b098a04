// How long a sound takes from Snd_Play to the sound device: the game's own
// catalogue and mixer on SDL's audio, with SDL's disk driver standing in
// for the sound card. That driver writes each buffer to a file when a card
// would start to play it; the writes are caught here by taking over fwrite
// for the whole process (the program exports it, so SDL's libraries call
// this one) and passed on unchanged.
//
// The disk driver paces itself in whole milliseconds, so its clock runs a
// little fast. Latency is therefore counted in the device's own bytes, not
// timed: from the byte the device was playing when Snd_Play was called to
// the first byte of the sound, turned into time at the device's true rate
// (its bytes per mixer sample, over the whole run, times 8000 a second).
// That count does not depend on how fast the stand-in card runs.
//
//   SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=FILE zultmirax-snd-latency STARTS
//
// Starts the cannon's shot STARTS times, each after the device has been
// silent for a while and at a different point of its cycle, and prints a
// line a start, "start HAND DEVICE": milliseconds from Snd_Play to the
// mixer's hand-over of the block with the sound, and to the sound's first
// sample at the device. Then "device BYTES RATE" (the device's buffer in
// bytes, its bytes a second) and "sdl VERSION SAMPLES" (the SDL linked and
// the samples the mixer asked it for at a time).
#include <SDL.h>
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "assets/sounds.h"
#include "platform/sdl_layer.h"

namespace {

constexpr double PHASES_MS = 128;

double NowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Positions are in device bytes since the device opened.
struct Start {
    double played = 0;  // where the device was at Snd_Play
    double handed = 0;  // where it was when the mixer handed the first sample over
    double heard = -1;  // where the sound's first byte lies in the device's stream
    double handedAt = -1;
};

// What the audio thread sees, read by the main thread under the lock.
struct Watch {
    std::mutex lock;
    std::string path;                  // the disk driver's file
    FILE *device = nullptr;            // its stream, once recognised
    std::vector<unsigned char> quiet;  // the device's first buffer: silence in its own format
    double written = 0;                // device bytes before the buffer now playing
    double lastLen = 0;                // that buffer's size
    double lastAt = 0;                 // when it was written
    double period = 0;                 // time between writes, on the driver's clock
    double firstAt = 0;
    long writes = 0;
    long handedSamples = 0;  // mixer samples handed over so far
    double soundAt = 0;      // when the device last got any sound
    Start *waiting = nullptr;
};

Watch watch;

// The byte the device plays now: into the buffer last written, by time.
double DeviceNow(double now) {
    if (watch.writes == 0) return 0;
    const double into = watch.period > 0 ? std::min(1.0, (now - watch.lastAt) / watch.period) : 0;
    return watch.written + into * watch.lastLen;
}

bool IsDevice(FILE *stream) {
    if (stream == watch.device) return true;
    if (watch.device != nullptr || watch.path.empty()) return false;
    char link[4096];
    const std::string fd = "/proc/self/fd/" + std::to_string(fileno(stream));
    const ssize_t n = readlink(fd.c_str(), link, sizeof link - 1);
    if (n <= 0) return false;
    link[n] = '\0';
    if (watch.path != link) return false;
    watch.device = stream;
    return true;
}

void SeeDeviceWrite(const unsigned char *data, size_t len) {
    const std::lock_guard<std::mutex> hold(watch.lock);
    const double now = NowMs();
    if (watch.writes == 0) {
        watch.firstAt = now;
        watch.quiet.assign(data, data + len);  // nothing plays before the first start
    } else {
        watch.written += watch.lastLen;
        watch.period = (now - watch.firstAt) / static_cast<double>(watch.writes);
    }
    watch.writes++;
    watch.lastLen = static_cast<double>(len);
    watch.lastAt = now;
    for (size_t i = 0; i < len; ++i) {
        if (data[i] == watch.quiet[i % watch.quiet.size()]) continue;
        watch.soundAt = now;
        if (watch.waiting != nullptr && watch.waiting->handedAt >= 0 && watch.waiting->heard < 0) {
            watch.waiting->heard = watch.written + static_cast<double>(i);
        }
        break;
    }
}

// The mixer's hand-over, through its device seam: SDL's own mix, watched.
void WatchedMix(std::uint8_t *dst, const std::uint8_t *src, std::uint32_t len, int volume) {
    {
        const std::lock_guard<std::mutex> hold(watch.lock);
        Start *s = watch.waiting;
        if (s != nullptr && s->handedAt < 0) {
            for (std::uint32_t i = 0; i < len; ++i) {
                if (src[i] == SND_SILENCE) continue;
                s->handedAt = NowMs();
                s->handed = DeviceNow(s->handedAt);
                break;
            }
        }
        watch.handedSamples += len;
    }
    SDL_MixAudio(dst, src, len, volume);
}

void WaitMs(double ms) { SDL_Delay(static_cast<Uint32>(std::max(0.0, ms))); }

}  // namespace

// SDL's disk driver writes through stdio; this is the fwrite it finds.
// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name): libc's names are reserved ones
extern "C" size_t fwrite(const void *ptr, size_t size, size_t n, FILE *stream) {
    using Fwrite = size_t (*)(const void *, size_t, size_t, FILE *);
    static const auto real = reinterpret_cast<Fwrite>(dlsym(RTLD_NEXT, "fwrite"));
    if (IsDevice(stream)) SeeDeviceWrite(static_cast<const unsigned char *>(ptr), size * n);
    return real(ptr, size, n, stream);
}

int main(int argc, char **argv) {
    char *end = nullptr;
    const long asked = argc == 2 ? std::strtol(argv[1], &end, 10) : 0;
    const int starts = end != nullptr && *end == '\0' && asked > 0 && asked <= 100000 ? static_cast<int>(asked) : 0;
    const char *file = std::getenv("SDL_DISKAUDIOFILE");
    if (starts == 0 || file == nullptr) {
        std::fprintf(stderr, "usage: SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=FILE zultmirax-snd-latency STARTS\n");
        return 2;
    }
    // The file is made here so that its full name is known before SDL's
    // audio thread writes to it.
    char full[4096];
    FILE *made = std::fopen(file, "wb");
    if (made == nullptr || std::fclose(made) != 0 || realpath(file, full) == nullptr) {
        std::fprintf(stderr, "zultmirax-snd-latency: cannot make '%s'\n", file);
        return 1;
    }
    watch.path = full;
    // Classic SDL's disk driver waits 150 ms between writes unless told
    // otherwise; at the buffer's own length its cycle matches a card's.
    if (!SdlLayer_Linked()) {
        const std::string ms = std::to_string(1000 * Snd_DeviceSamples() / SND_RATE);
        setenv("SDL_DISKAUDIODELAY", ms.c_str(), 0);
    }
    if (SDL_Init(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "zultmirax-snd-latency: %s\n", SDL_GetError());
        return 1;
    }
    SndDeviceOps watched{};
    watched.mix = WatchedMix;
    Snd_SetDeviceOps(&watched);
    if (Snd_Init() != 0) {
        std::fprintf(stderr, "zultmirax-snd-latency: no sound device: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }

    // Samples of silence at the head of the sound are heard by nobody.
    const Sound &shot = SOUNDS[SND_CANNON_SHOT - 1];
    int lead = 0;
    while (shot.samples[lead] == SND_SILENCE) ++lead;
    const double blockMs = 1000.0 * SND_BLOCK / SND_RATE;
    const double playedMs = 1000.0 * SoundPlayedLength(shot.stored) / SND_RATE;

    std::vector<Start> done(static_cast<std::size_t>(starts));
    WaitMs(300);                             // the device's first, silent buffers
    double writtenFrom = 0, handedFrom = 0;  // past SDL's first fill, for the device's rate
    {
        const std::lock_guard<std::mutex> hold(watch.lock);
        writtenFrom = watch.written;
        handedFrom = static_cast<double>(watch.handedSamples);
    }
    for (Start &s : done) {
        // Quiet for two blocks after the last sound, then a different point
        // of the device's cycle each time: 7 ms steps over 128 ms, which is
        // a whole number of the mixer's blocks and of every buffer SDL
        // keeps, so 128 starts meet each millisecond of them once.
        const std::size_t k = static_cast<std::size_t>(&s - done.data());
        for (;;) {
            {
                const std::lock_guard<std::mutex> hold(watch.lock);
                if (NowMs() - watch.soundAt >= 2 * blockMs) break;
            }
            WaitMs(5);
        }
        WaitMs(std::fmod(static_cast<double>(k) * 7.0, PHASES_MS));
        {
            const std::lock_guard<std::mutex> hold(watch.lock);
            s.played = DeviceNow(NowMs());
            watch.waiting = &s;
        }
        Snd_Play(SND_CH_CANNON, SND_CANNON_SHOT);
        const double t0 = NowMs();
        for (bool heard = false; !heard && NowMs() - t0 < 2000; WaitMs(1)) {
            const std::lock_guard<std::mutex> hold(watch.lock);
            heard = s.heard >= 0;
        }
        WaitMs(playedMs);
    }
    {
        const std::lock_guard<std::mutex> hold(watch.lock);
        watch.waiting = nullptr;
    }
    Snd_Shutdown();
    Snd_SetDeviceOps(nullptr);
    SDL_Quit();

    // The device's bytes per mixer sample, over the run after SDL's first
    // fill: what a byte of the device's stream lasts.
    const double perSample = (watch.written - writtenFrom) / (static_cast<double>(watch.handedSamples) - handedFrom);
    const double rate = perSample * SND_RATE;
    int lost = 0;
    for (const Start &s : done) {
        if (s.heard < 0) {
            ++lost;
            continue;
        }
        std::printf("start %.2f %.2f\n", 1000.0 * (s.handed - s.played) / rate,
                    1000.0 * (s.heard - s.played) / rate - 1000.0 * lead / SND_RATE);
    }
    const SDL_version *v = SDL_Linked_Version();
    std::printf("device %.0f %.0f\nsdl %d.%d.%d %d\n", watch.lastLen, rate, v->major, v->minor, v->patch,
                Snd_DeviceSamples());
    if (lost > 0) {
        std::fprintf(stderr, "zultmirax-snd-latency: %d of %d sounds never reached the device\n", lost, starts);
        return 1;
    }
    return 0;
}
