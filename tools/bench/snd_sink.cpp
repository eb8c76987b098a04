// How long a sound takes from Snd_Play to a real sound server's sink: the
// game's own catalogue and mixer on SDL's audio, played through whatever
// driver SDL picks (the bench points it at a private PulseAudio with a null
// sink), and heard back from the sink's monitor.
//
// The monitor is read a millisecond at a time. After each read the
// server's latency for the stream says how long ago the next unread sample
// was taken by the sink, so every sample read carries the time the sink
// took it, on the same monotonic clock as Snd_Play. A start is timed to the
// first sample of the sound at the sink, less the silent samples at the
// head of the sound.
//
//   PULSE_SERVER=... zultmirax-snd-sink STARTS [MONITOR]
//
// Starts the cannon's shot STARTS times, each after the sink has been
// silent for a while and at a different point of the device's cycle, and
// prints a line a start, "start HAND SINK GAPS": milliseconds from Snd_Play
// to the mixer's hand-over of the block with the sound and to its first
// sample at the sink, and the runs of silence of 2 ms or more inside the
// sound as heard (the shot has none, so each is the server running dry).
// Then "sink RATE" and "sdl VERSION SAMPLES". MONITOR is the source to read
// (default: the default sink's monitor).
#include <SDL.h>
#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "assets/sounds.h"
#include "platform/snd.h"

namespace {

constexpr double PHASES_MS = 128;
constexpr int SINK_RATE = 48000;
constexpr int CHUNK = SINK_RATE / 1000;  // samples in one read: a millisecond
constexpr int GAP = 2 * CHUNK;           // silence that long inside a sound is a gap

double NowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Start {
    double playedAt = 0;    // Snd_Play
    double handedAt = -1;   // the mixer's hand-over of the block with the sound
    long long heard = -1;   // the monitor's sample that carries its first sample
    long long heardTo = 0;  // until which sample the sound is followed for gaps
    int gaps = 0;
    int quietRun = 0;
    std::vector<double> origins;  // the server's word while the sound is followed
};

// The monitor's samples are counted from its first; the sink takes them at
// its own steady rate, so sample N was taken at origin + N / rate. Every
// read gives the origin afresh (the time the server says the next unread
// sample was taken, less the samples before it); a start is timed with the
// median of those given while its sound is followed, since the server's
// word strays slowly over a long run.
struct Watch {
    std::mutex lock;
    Start *waiting = nullptr;
    long long read = 0;          // samples read from the monitor
    long long soundAt = -1;      // the last sample with any sound
    double origin = 0;           // the latest estimate, for pacing the starts
    std::vector<double> recent;  // the latest estimates, a ring, to see them settle
    std::size_t next = 0;
    long long bodySamples = 0;  // how long after its first sample a sound is followed
    std::atomic<bool> stop{false};
    const char *error = nullptr;
};

Watch watch;

double SampleAt(double origin, long long n) { return origin + 1000.0 * static_cast<double>(n) / SINK_RATE; }

void WatchedMix(std::uint8_t *dst, const std::uint8_t *src, std::uint32_t len, int volume) {
    {
        const std::lock_guard<std::mutex> hold(watch.lock);
        Start *s = watch.waiting;
        if (s != nullptr && s->handedAt < 0 &&
            std::any_of(src, src + len, [](std::uint8_t v) { return v != SND_SILENCE; })) {
            s->handedAt = NowMs();
        }
    }
    SDL_MixAudio(dst, src, len, volume);
}

// One read of the monitor: the sound's first sample, gaps inside it.
// BEHIND is the server's latency for the stream after the read, in
// milliseconds, or below 0 when it could not say.
void SeeSink(const float *data, int n, double behind) {
    const std::lock_guard<std::mutex> hold(watch.lock);
    const long long first = watch.read;
    watch.read += n;
    if (behind >= 0) {
        watch.origin = NowMs() - behind - 1000.0 * static_cast<double>(watch.read) / SINK_RATE;
        watch.recent[watch.next++ % watch.recent.size()] = watch.origin;
    }
    Start *s = watch.waiting;
    if (behind >= 0 && s != nullptr && s->heard >= 0 && s->origins.size() < s->origins.capacity()) {
        s->origins.push_back(watch.origin);
    }
    for (int i = 0; i < n; ++i) {
        const long long at = first + i;
        const bool quiet = data[i] == 0.0F;
        if (!quiet) watch.soundAt = at;
        // Nothing reaches the sink before the mixer hands it over: what
        // comes earlier is the tail of the sound before, still on its way.
        if (s == nullptr || s->handedAt < 0 || SampleAt(watch.origin, at) < s->handedAt) continue;
        if (s->heard < 0) {
            if (!quiet) {
                s->heard = at;
                s->heardTo = at + watch.bodySamples;
            }
            continue;
        }
        if (at > s->heardTo) continue;
        if (!quiet) {
            s->quietRun = 0;
        } else if (++s->quietRun == GAP) {
            ++s->gaps;
        }
    }
}

void ReadSink(const char *monitor) {
    pa_sample_spec spec{};
    spec.format = PA_SAMPLE_FLOAT32NE;
    spec.rate = SINK_RATE;
    spec.channels = 1;
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.fragsize = CHUNK * sizeof(float);
    int err = 0;
    pa_simple *in = pa_simple_new(nullptr, "zultmirax-snd-sink", PA_STREAM_RECORD, monitor, "sink monitor", &spec,
                                  nullptr, &attr, &err);
    if (in == nullptr) {
        watch.error = pa_strerror(err);
        watch.stop = true;
        return;
    }
    std::vector<float> chunk(CHUNK);
    while (!watch.stop) {
        if (pa_simple_read(in, chunk.data(), chunk.size() * sizeof(float), &err) < 0) {
            watch.error = pa_strerror(err);
            watch.stop = true;
            break;
        }
        const pa_usec_t behind = pa_simple_get_latency(in, &err);
        SeeSink(chunk.data(), CHUNK, behind == static_cast<pa_usec_t>(-1) ? -1 : static_cast<double>(behind) / 1000.0);
    }
    pa_simple_free(in);
}

void WaitMs(double ms) { SDL_Delay(static_cast<Uint32>(std::max(0.0, ms))); }

}  // namespace

int main(int argc, char **argv) {
    char *end = nullptr;
    const long asked = argc >= 2 && argc <= 3 ? std::strtol(argv[1], &end, 10) : 0;
    const int starts = end != nullptr && *end == '\0' && asked > 0 && asked <= 100000 ? static_cast<int>(asked) : 0;
    if (starts == 0) {
        std::fprintf(stderr, "usage: zultmirax-snd-sink STARTS [MONITOR]\n");
        return 2;
    }
    const char *monitor = argc == 3 ? argv[2] : "@DEFAULT_MONITOR@";
    watch.recent.assign(200, 0.0);
    std::thread reader(ReadSink, monitor);
    if (SDL_Init(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "zultmirax-snd-sink: %s\n", SDL_GetError());
        watch.stop = true;
        reader.join();
        return 1;
    }
    SndDeviceOps watched{};
    watched.mix = WatchedMix;
    Snd_SetDeviceOps(&watched);
    if (Snd_Init() != 0) {
        std::fprintf(stderr, "zultmirax-snd-sink: no sound device: %s\n", SDL_GetError());
        watch.stop = true;
        reader.join();
        SDL_Quit();
        return 1;
    }

    const Sound &shot = SOUNDS[SND_CANNON_SHOT - 1];
    int lead = 0;
    while (shot.samples[lead] == SND_SILENCE) ++lead;
    const double leadMs = 1000.0 * lead / SND_RATE;
    const double blockMs = 1000.0 * SND_BLOCK / SND_RATE;
    const double playedMs = 1000.0 * SoundPlayedLength(shot.stored) / SND_RATE;

    {
        // The sound's body: from its first audible sample, less the quiet
        // the sound itself may end with.
        const std::lock_guard<std::mutex> hold(watch.lock);
        watch.bodySamples = static_cast<long long>((playedMs - leadMs - blockMs) * SINK_RATE / 1000.0);
    }
    std::vector<Start> done(static_cast<std::size_t>(starts));
    for (Start &s : done) s.origins.reserve(4096);  // nothing is allocated while reading
    // The server's first timing updates stray by up to a second: wait until
    // its last 200 agree within 5 ms.
    const double settling = NowMs();
    for (bool settled = false; !settled; WaitMs(50)) {
        if (watch.stop || NowMs() - settling > 20000) {
            watch.stop = true;
            break;
        }
        const std::lock_guard<std::mutex> hold(watch.lock);
        const auto [lo, hi] = std::minmax_element(watch.recent.begin(), watch.recent.end());
        settled = watch.next >= watch.recent.size() && *hi - *lo < 5;
    }
    for (Start &s : done) {
        if (watch.stop) break;
        // Quiet for two blocks at the sink, with the monitor read up to
        // now, then a different point of the device's cycle each time (7 ms
        // steps over 128 ms).
        const std::size_t k = static_cast<std::size_t>(&s - done.data());
        for (;;) {
            {
                const std::lock_guard<std::mutex> hold(watch.lock);
                const double readTo = SampleAt(watch.origin, watch.read);
                const double soundTo = SampleAt(watch.origin, watch.soundAt);
                if (readTo - soundTo >= 2 * blockMs && NowMs() - readTo < blockMs) break;
            }
            if (watch.stop) break;
            WaitMs(5);
        }
        WaitMs(std::fmod(static_cast<double>(k) * 7.0, PHASES_MS));
        {
            const std::lock_guard<std::mutex> hold(watch.lock);
            s.playedAt = NowMs();
            watch.waiting = &s;
        }
        Snd_Play(SND_CH_CANNON, SND_CANNON_SHOT);
        // Until the sink has taken the whole sound.
        const double t0 = NowMs();
        for (bool done = false; !done && !watch.stop && NowMs() - t0 < 4000; WaitMs(5)) {
            const std::lock_guard<std::mutex> hold(watch.lock);
            done = s.heard >= 0 && watch.read > s.heardTo;
        }
        const std::lock_guard<std::mutex> hold(watch.lock);
        watch.waiting = nullptr;
    }
    Snd_Shutdown();
    Snd_SetDeviceOps(nullptr);
    watch.stop = true;
    reader.join();
    SDL_Quit();
    if (watch.error != nullptr) {
        std::fprintf(stderr, "zultmirax-snd-sink: cannot read the sink's monitor: %s\n", watch.error);
        return 1;
    }
    if (watch.next < watch.recent.size()) {
        std::fprintf(stderr, "zultmirax-snd-sink: the server's timing of the monitor never settled\n");
        return 1;
    }

    int lost = 0;
    double stray = 0;  // the widest spread (p10 to p90) of the server's word over one sound
    for (Start &s : done) {
        if (s.heard < 0 || s.handedAt < 0 || s.origins.empty()) {
            ++lost;
            continue;
        }
        std::sort(s.origins.begin(), s.origins.end());
        const std::size_t n = s.origins.size();
        stray = std::max(stray, s.origins[n * 9 / 10] - s.origins[n / 10]);
        const double heardAt = SampleAt(s.origins[n / 2], s.heard);
        std::printf("start %.2f %.2f %d\n", s.handedAt - s.playedAt, heardAt - s.playedAt - leadMs, s.gaps);
    }
    std::printf("sink %d %.2f\n", SINK_RATE, stray);
    const SDL_version *v = SDL_Linked_Version();
    std::printf("sdl %d.%d.%d %d\n", v->major, v->minor, v->patch, Snd_DeviceSamples());
    if (lost > 0) {
        std::fprintf(stderr, "zultmirax-snd-sink: %d of %d sounds never reached the sink\n", lost, starts);
        return 1;
    }
    return 0;
}
