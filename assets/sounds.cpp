// The twelve built-in sounds, synthesised by the compiler from the recipes
// below. Each is stored as its samples, a zero pad byte when the count is
// odd, and for most a trailing metadata chunk as a RIFF/WAVE file would carry
// it. Only the played part, stored length less SOUND_TRAILER rounded as a
// voice rounds it, is ever heard, and every recipe falls silent by then.
#include "assets/sounds.h"

#include "assets/sound_synth.h"

namespace {

using synth::Exp;
using synth::Glide;
using synth::Lerp;
using synth::Phase;
using synth::RATE;
using synth::Shape;
using synth::Sine;
using Bytes = std::uint8_t;

// What follows a sound's samples, and what its stored length counts.
enum class Trailer {
    PAD,      // an odd number of samples and the pad byte: the length counts both
    INFO,     // an even number of samples and a "LIST" chunk: the length counts all
    SAMPLER,  // a pad byte and a "smpl" chunk: the length stops 2 short of the samples
};

constexpr std::size_t INFO_CHUNK = 50;
constexpr std::size_t SAMPLER_CHUNK = 68;

// The stored length of each sound and what it ends in, by SoundId - 1: the
// one place these numbers are written.
struct Layout {
    std::uint32_t stored;
    Trailer trailer;
};
constexpr std::array<Layout, SOUND_COUNT> LAYOUT{{
    {10071, Trailer::SAMPLER},  // SND_GAME_OVER
    {472, Trailer::PAD},        // SND_ALIEN_HIT
    {4008, Trailer::INFO},      // SND_CANNON_BLAST
    {2784, Trailer::INFO},      // SND_UFO_FLY
    {2418, Trailer::INFO},      // SND_UFO_HIT
    {2690, Trailer::PAD},       // SND_START
    {842, Trailer::INFO},       // SND_CANNON_SHOT
    {17532, Trailer::INFO},     // SND_GAME_START
    {1048, Trailer::INFO},      // SND_MARCH_1
    {906, Trailer::INFO},       // SND_MARCH_2
    {1008, Trailer::INFO},      // SND_MARCH_3
    {962, Trailer::INFO},       // SND_MARCH_4
}};

constexpr std::uint32_t Stored(SoundId id) { return LAYOUT[id - 1].stored; }
constexpr std::size_t Played(SoundId id) { return SoundPlayedLength(Stored(id)); }

// How many samples a sound keeps, from its stored length and trailer.
constexpr std::size_t Samples(SoundId id) {
    switch (LAYOUT[id - 1].trailer) {
    case Trailer::PAD: return Stored(id) - 1;
    case Trailer::INFO: return Stored(id) - INFO_CHUNK;
    case Trailer::SAMPLER: return Stored(id) + 2;
    }
    return 0;
}

// The whole stored form: samples, pad byte, chunk.
constexpr std::size_t Kept(SoundId id) {
    const std::size_t s = Samples(id) + Samples(id) % 2;
    switch (LAYOUT[id - 1].trailer) {
    case Trailer::PAD: return s;
    case Trailer::INFO: return s + INFO_CHUNK;
    case Trailer::SAMPLER: return s + SAMPLER_CHUNK;
    }
    return 0;
}

// Every sound keeps its whole played part, and the pad rule holds.
constexpr bool LayoutHolds() {
    for (int id = 1; id <= SOUND_COUNT; ++id) {
        const auto sid = static_cast<SoundId>(id);
        if (Played(sid) > Samples(sid)) return false;
        const bool odd = Samples(sid) % 2 == 1;
        if (LAYOUT[id - 1].trailer == Trailer::PAD && !odd) return false;
        if (LAYOUT[id - 1].trailer == Trailer::INFO && odd) return false;
    }
    return true;
}
static_assert(LayoutHolds(), "every sound keeps its played part; pad bytes where the count is odd");

// --- trailing chunks -------------------------------------------------------

template <std::size_t N>
constexpr void PutId(std::array<Bytes, N> &a, std::size_t at, const char *id) {
    for (int k = 0; k < 4; ++k) a[at + k] = static_cast<Bytes>(id[k]);
}
template <std::size_t N>
constexpr void PutU32(std::array<Bytes, N> &a, std::size_t at, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) a[at + k] = static_cast<Bytes>(v >> (8 * k));
}

constexpr char SOFTWARE[] = "ZULT-MIRAX";
constexpr std::size_t NAME_FIELD = 10;  // the name and its terminator, zero-filled

// "LIST" of type "INFO" with the sound's name ("INAM") and the game's
// ("ISFT").
template <std::size_t L>
constexpr std::array<Bytes, INFO_CHUNK> InfoChunk(const char (&name)[L]) {
    static_assert(L <= NAME_FIELD, "sound names fit in ten bytes with their terminator");
    std::array<Bytes, INFO_CHUNK> c{};
    PutId(c, 0, "LIST");
    PutU32(c, 4, 42);
    PutId(c, 8, "INFO");
    PutId(c, 12, "INAM");
    PutU32(c, 16, NAME_FIELD);
    for (std::size_t k = 0; k + 1 < L; ++k) c[20 + k] = static_cast<Bytes>(name[k]);
    PutId(c, 30, "ISFT");
    PutU32(c, 34, sizeof SOFTWARE);  // 11: odd, so a pad byte follows
    for (std::size_t k = 0; k + 1 < sizeof SOFTWARE; ++k) c[38 + k] = static_cast<Bytes>(SOFTWARE[k]);
    return c;
}

// "smpl" sampler chunk: no loops, the sample period and a middle C unity
// note; the rest is zero.
constexpr std::array<Bytes, SAMPLER_CHUNK> SamplerChunk() {
    std::array<Bytes, SAMPLER_CHUNK> c{};
    PutId(c, 0, "smpl");
    PutU32(c, 4, 60);
    PutU32(c, 16, 1000000000u / 8000u);  // nanoseconds a sample
    PutU32(c, 20, 60);                   // unity note
    PutU32(c, 40, 24);                   // bytes of sampler data after the header
    return c;
}

// Samples, then a pad byte to an even count, then the chunk.
template <std::size_t S, std::size_t T>
constexpr std::array<Bytes, S + S % 2 + T> Store(const std::array<Bytes, S> &samples,
                                                 const std::array<Bytes, T> &chunk) {
    std::array<Bytes, S + S % 2 + T> out{};
    for (std::size_t i = 0; i < S; ++i) out[i] = samples[i];
    for (std::size_t i = 0; i < T; ++i) out[S + S % 2 + i] = chunk[i];
    return out;
}

// --- recipes ----------------------------------------------------------------

// Low buzz falling 220 -> 130 Hz, rising to 160 Hz and held: a saw with a
// square a half period behind it, which deepens the buzz; the last 0.2 s
// fades out.
constexpr std::array<double, Samples(SND_GAME_OVER)> GameOver() {
    constexpr std::size_t P = Played(SND_GAME_OVER);
    std::array<double, Samples(SND_GAME_OVER)> w{};
    const Glide fall(220, 130), rise(130, 160);
    Phase p;
    for (std::size_t i = 0; i < P; ++i) {
        const double t = i / RATE;
        const double hz = t < 0.55 ? fall.At(t / 0.55) : rise.At((t - 0.55) / 0.2);
        const double turns = p.Step(hz);
        const double buzz = 0.65 * synth::Saw(turns, hz) + 0.35 * synth::Square(synth::Frac(turns + 0.5), hz);
        w[i] = buzz * Shape(i, P, 40, 0.2 * RATE);
    }
    return w;
}

// Quick blip rising 520 -> 700 Hz.
constexpr std::array<double, Samples(SND_ALIEN_HIT)> AlienHit() {
    constexpr std::size_t P = Played(SND_ALIEN_HIT);
    std::array<double, Samples(SND_ALIEN_HIT)> w{};
    const Glide up(520, 700);
    Phase p;
    for (std::size_t i = 0; i < P; ++i) {
        const double hz = up.At(static_cast<double>(i) / P);
        const double turns = p.Step(hz);
        w[i] = (0.6 * synth::Square(turns, hz) + 0.4 * Sine(turns)) * Shape(i, P, 16, 120);
    }
    return w;
}

// Dark noise with a falling thump under it, loud at once, then dying away.
constexpr std::array<double, Samples(SND_CANNON_BLAST)> CannonBlast() {
    constexpr std::size_t P = Played(SND_CANNON_BLAST);
    std::array<double, Samples(SND_CANNON_BLAST)> w{};
    synth::Noise noise;
    synth::LowPass first(500), second(350);
    const Glide thumpPitch(110, 45);
    Phase thump;
    for (std::size_t i = 0; i < P; ++i) {
        const double t = i / RATE;
        const double rumble = second.Run(first.Run(noise.Next()));
        const double body = Sine(thump.Step(thumpPitch.At(t / 0.25))) * Exp(-t / 0.07);
        w[i] = (3.0 * rumble + 0.5 * body) * Exp(-t / 0.095) * Shape(i, P, 16, 80);
    }
    return w;
}

// Faint whirr: an 800 Hz carrier whose pitch swings, its level roughened
// by slow noise (the hiss) and throbbing, so all of it stays between about
// 500 and 1100 Hz.
constexpr std::array<double, Samples(SND_UFO_FLY)> UfoFly() {
    constexpr std::size_t P = Played(SND_UFO_FLY);
    std::array<double, Samples(SND_UFO_FLY)> w{};
    synth::Noise noise;
    synth::LowPass first(180), second(180);
    Phase carrier, swing, pulse;
    for (std::size_t i = 0; i < P; ++i) {
        const double hiss = 4 * second.Run(first.Run(noise.Next()));
        const double hz = 800 + 70 * Sine(swing.Step(9));
        const double throb = 0.75 + 0.25 * Sine(pulse.Step(28));
        w[i] = (0.5 + hiss) * Sine(carrier.Step(hz)) * throb * Shape(i, P, 160, 240);
    }
    return w;
}

// A warbling tone climbing 530 -> 700 Hz.
constexpr std::array<double, Samples(SND_UFO_HIT)> UfoHit() {
    constexpr std::size_t P = Played(SND_UFO_HIT);
    std::array<double, Samples(SND_UFO_HIT)> w{};
    Phase p, warble;
    warble.turns = 0.5;  // dip first, so the climb starts from about 530
    for (std::size_t i = 0; i < P; ++i) {
        const double u = static_cast<double>(i) / P;
        const double hz = Lerp(530, 700, u) + 30 * Sine(warble.Step(11));
        const double turns = p.Step(hz);
        w[i] = (0.55 * synth::Square(turns, hz) + 0.45 * Sine(turns)) * Shape(i, P, 40, 400);
    }
    return w;
}

// Bright pulse chirp: 500 Hz up to 1500 Hz at the middle and back down.
constexpr std::array<double, Samples(SND_START)> Start() {
    constexpr std::size_t P = Played(SND_START);
    std::array<double, Samples(SND_START)> w{};
    const double octaves = synth::Ln(3.0);
    Phase p;
    for (std::size_t i = 0; i < P; ++i) {
        const double u = static_cast<double>(i) / P;
        const double hz = 500 * Exp(octaves * Sine(u / 2));
        w[i] = synth::Pulse(p.Step(hz), hz, 0.3) * Shape(i, P, 24, 320);
    }
    return w;
}

// Short tone near 600 Hz, sagging a little as it fades.
constexpr std::array<double, Samples(SND_CANNON_SHOT)> CannonShot() {
    constexpr std::size_t P = Played(SND_CANNON_SHOT);
    std::array<double, Samples(SND_CANNON_SHOT)> w{};
    const Glide sag(620, 555);
    Phase p;
    for (std::size_t i = 0; i < P; ++i) {
        const double u = static_cast<double>(i) / P;
        const double hz = sag.At(u);
        const double turns = p.Step(hz);
        w[i] = (0.5 * synth::Square(turns, hz) + 0.5 * Sine(turns)) * (1 - u) * (1 - u) * Shape(i, P, 8, 0);
    }
    return w;
}

// The new-game phrase: C E G C' G A B, a breath, then C' held and fading.
struct Note {
    double hz, from, to;  // seconds
};
constexpr std::array<Note, 8> GAME_START_NOTES{{
    {130.81, 0.00, 0.18},
    {164.81, 0.20, 0.38},
    {196.00, 0.40, 0.58},
    {261.63, 0.60, 0.88},
    {196.00, 0.90, 1.08},
    {220.00, 1.10, 1.28},
    {246.94, 1.30, 1.55},
    {261.63, 1.65, 2.185},
}};

constexpr std::array<double, Samples(SND_GAME_START)> GameStart() {
    std::array<double, Samples(SND_GAME_START)> w{};
    for (std::size_t n = 0; n < GAME_START_NOTES.size(); ++n) {
        const Note &note = GAME_START_NOTES[n];
        const auto from = static_cast<std::size_t>(note.from * RATE);
        const auto len = static_cast<std::size_t>(note.to * RATE) - from;
        const bool last = n + 1 == GAME_START_NOTES.size();
        Phase p;
        synth::LowPass mellow(900);
        for (std::size_t k = 0; k < len; ++k) {
            const double turns = p.Step(note.hz);
            const double organ = 0.65 * mellow.Run(synth::Square(turns, note.hz)) + 0.35 * Sine(2 * turns);
            const double decay = Exp(-(k / RATE) * (last ? 1.0 : 2.0));
            w[from + k] = organ * decay * Shape(k, len, 40, last ? 0.35 * RATE : 120);
        }
    }
    return w;
}

// A march note: soft fundamental with its double octave above it.
template <SoundId ID>
constexpr std::array<double, Samples(ID)> March(double hz) {
    const std::size_t played = Played(ID);
    std::array<double, Samples(ID)> w{};
    for (std::size_t i = 0; i < played; ++i) {
        const double turns = hz * (i / RATE);
        w[i] = (Sine(turns) + 0.7 * Sine(4 * turns)) * Shape(i, played, 24, 0.6 * played);
    }
    return w;
}

// --- the stored sounds ------------------------------------------------------

constexpr auto GAME_OVER = Store(synth::Quantise(GameOver(), 112), SamplerChunk());
constexpr auto ALIEN_HIT = Store(synth::Quantise(AlienHit(), 90), std::array<Bytes, 0>{});
constexpr auto CANNON_BLAST = Store(synth::Quantise(CannonBlast(), 118), InfoChunk("blast"));
constexpr auto UFO_FLY = Store(synth::Quantise(UfoFly(), 16), InfoChunk("ufo fly"));
constexpr auto UFO_HIT = Store(synth::Quantise(UfoHit(), 96), InfoChunk("ufo hit"));
constexpr auto START = Store(synth::Quantise(Start(), 100), std::array<Bytes, 0>{});
constexpr auto CANNON_SHOT = Store(synth::Quantise(CannonShot(), 100), InfoChunk("shot"));
constexpr auto GAME_START = Store(synth::Quantise(GameStart(), 104), InfoChunk("new game"));
constexpr auto MARCH_1 = Store(synth::Quantise(March<SND_MARCH_1>(49.00), 56), InfoChunk("march 1"));
constexpr auto MARCH_2 = Store(synth::Quantise(March<SND_MARCH_2>(61.74), 56), InfoChunk("march 2"));
constexpr auto MARCH_3 = Store(synth::Quantise(March<SND_MARCH_3>(55.00), 56), InfoChunk("march 3"));
constexpr auto MARCH_4 = Store(synth::Quantise(March<SND_MARCH_4>(65.41), 56), InfoChunk("march 4"));

// What was built is what the layout says.
template <std::size_t N>
constexpr bool Built(const std::array<Bytes, N> &, SoundId id) {
    return N == Kept(id);
}
static_assert(Built(GAME_OVER, SND_GAME_OVER) && Built(ALIEN_HIT, SND_ALIEN_HIT) &&
              Built(CANNON_BLAST, SND_CANNON_BLAST) && Built(UFO_FLY, SND_UFO_FLY) && Built(UFO_HIT, SND_UFO_HIT) &&
              Built(START, SND_START) && Built(CANNON_SHOT, SND_CANNON_SHOT) && Built(GAME_START, SND_GAME_START) &&
              Built(MARCH_1, SND_MARCH_1) && Built(MARCH_2, SND_MARCH_2) && Built(MARCH_3, SND_MARCH_3) &&
              Built(MARCH_4, SND_MARCH_4));

}  // namespace

const std::array<Sound, SOUND_COUNT> SOUNDS{{
    {GAME_OVER.data(), Stored(SND_GAME_OVER)},
    {ALIEN_HIT.data(), Stored(SND_ALIEN_HIT)},
    {CANNON_BLAST.data(), Stored(SND_CANNON_BLAST)},
    {UFO_FLY.data(), Stored(SND_UFO_FLY)},
    {UFO_HIT.data(), Stored(SND_UFO_HIT)},
    {START.data(), Stored(SND_START)},
    {CANNON_SHOT.data(), Stored(SND_CANNON_SHOT)},
    {GAME_START.data(), Stored(SND_GAME_START)},
    {MARCH_1.data(), Stored(SND_MARCH_1)},
    {MARCH_2.data(), Stored(SND_MARCH_2)},
    {MARCH_3.data(), Stored(SND_MARCH_3)},
    {MARCH_4.data(), Stored(SND_MARCH_4)},
}};
