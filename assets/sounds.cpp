// The twelve built-in sounds, synthesised by the compiler from the recipes
// below. Each is stored as its samples, a zero pad byte when the count is
// odd, and a trailing metadata chunk as a RIFF/WAVE file would carry it.
// The mixer plays stored length - 55 bytes rounded up to a multiple of 4,
// and every recipe falls silent by then.
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

constexpr std::size_t Played(std::uint32_t stored) { return ((stored - SOUND_TRAILER) + 3) & ~3u; }

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
// ("ISFT"): 50 bytes.
template <std::size_t L>
constexpr std::array<Bytes, 50> InfoChunk(const char (&name)[L]) {
    static_assert(L <= NAME_FIELD, "sound names fit in ten bytes with their terminator");
    std::array<Bytes, 50> c{};
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

// "smpl" sampler chunk: 68 bytes, no loops, the sample period and a middle
// C unity note; the rest is zero.
constexpr std::array<Bytes, 68> SamplerChunk() {
    std::array<Bytes, 68> c{};
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
constexpr std::array<double, 10073> GameOver() {
    constexpr std::size_t P = Played(10071);
    std::array<double, 10073> w{};
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
constexpr std::array<double, 471> AlienHit() {
    constexpr std::size_t P = Played(472);
    std::array<double, 471> w{};
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
constexpr std::array<double, 3958> CannonBlast() {
    constexpr std::size_t P = Played(4008);
    std::array<double, 3958> w{};
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
constexpr std::array<double, 2734> UfoFly() {
    constexpr std::size_t P = Played(2784);
    std::array<double, 2734> w{};
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
constexpr std::array<double, 2368> UfoHit() {
    constexpr std::size_t P = Played(2418);
    std::array<double, 2368> w{};
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
constexpr std::array<double, 2689> Start() {
    constexpr std::size_t P = Played(2690);
    std::array<double, 2689> w{};
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
constexpr std::array<double, 792> CannonShot() {
    constexpr std::size_t P = Played(842);
    std::array<double, 792> w{};
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

constexpr std::array<double, 17482> GameStart() {
    std::array<double, 17482> w{};
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
template <std::size_t N>
constexpr std::array<double, N> March(double hz, std::uint32_t stored) {
    const std::size_t played = Played(stored);
    std::array<double, N> w{};
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
constexpr auto MARCH_1 = Store(synth::Quantise(March<998>(49.00, 1048), 56), InfoChunk("march 1"));
constexpr auto MARCH_2 = Store(synth::Quantise(March<856>(61.74, 906), 56), InfoChunk("march 2"));
constexpr auto MARCH_3 = Store(synth::Quantise(March<958>(55.00, 1008), 56), InfoChunk("march 3"));
constexpr auto MARCH_4 = Store(synth::Quantise(March<912>(65.41, 962), 56), InfoChunk("march 4"));

// Stored lengths against the bytes kept: the metadata is counted in full
// except for the game-over sound, whose count stops 2 short of its samples.
static_assert(ALIEN_HIT.size() == 472 && START.size() == 2690);
static_assert(CANNON_BLAST.size() == 4008 && UFO_FLY.size() == 2784 && UFO_HIT.size() == 2418);
static_assert(CANNON_SHOT.size() == 842 && GAME_START.size() == 17532);
static_assert(MARCH_1.size() == 1048 && MARCH_2.size() == 906 && MARCH_3.size() == 1008 && MARCH_4.size() == 962);
static_assert(GAME_OVER.size() == 10073 + 1 + 68);

}  // namespace

const std::array<const std::uint8_t *, SOUND_COUNT> SOUND_SAMPLES{
    GAME_OVER.data(),   ALIEN_HIT.data(),  CANNON_BLAST.data(), UFO_FLY.data(), UFO_HIT.data(), START.data(),
    CANNON_SHOT.data(), GAME_START.data(), MARCH_1.data(),      MARCH_2.data(), MARCH_3.data(), MARCH_4.data(),
};
const std::array<std::uint32_t, SOUND_COUNT> SOUND_LENGTHS{10071, 472,   4008, 2784, 2418, 2690,
                                                           842,   17532, 1048, 906,  1008, 962};
