// The built-in sounds: stored and played lengths, the bytes kept after the
// samples, and for each sound a measurement of what it is meant to sound
// like.
#include "assets/sounds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

constexpr double RATE = 8000.0;
constexpr double PI = 3.14159265358979323846;

std::size_t PlayedLength(int id) { return SoundPlayedLength(SOUNDS[id - 1].stored); }
const std::uint8_t *Bytes(int id) { return SOUNDS[id - 1].samples; }
std::size_t At(double seconds) { return static_cast<std::size_t>(seconds * RATE); }

// Samples kept for each sound: stored length minus the pad and chunk, or
// (for the game-over sound) 2 more than the stored length.
constexpr std::size_t SAMPLE_COUNT[SOUND_COUNT] = {10073, 471, 3958, 2734, 2368, 2689, 792, 17482, 998, 856, 958, 912};

double Level(const std::uint8_t *s, std::size_t i) { return static_cast<double>(s[i]) - 128.0; }

// Power of one frequency over a Hann-windowed stretch (Goertzel).
double Power(int id, std::size_t from, std::size_t n, double hz) {
    const std::uint8_t *s = Bytes(id);
    const double coeff = 2 * std::cos(2 * PI * hz / RATE);
    double s1 = 0, s2 = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double window = 0.5 - 0.5 * std::cos(2 * PI * static_cast<double>(i) / static_cast<double>(n - 1));
        const double s0 = Level(s, from + i) * window + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - coeff * s1 * s2;
}

// The strongest frequency between lo and hi over a stretch.
double PeakHz(int id, std::size_t from, std::size_t n, double lo, double hi) {
    double best = lo, bestPower = -1;
    for (double hz = lo; hz <= hi; hz += 1) {
        const double p = Power(id, from, n, hz);
        if (p > bestPower) {
            bestPower = p;
            best = hz;
        }
    }
    return best;
}

double Rms(int id, std::size_t from, std::size_t n) {
    double sum = 0;
    for (std::size_t i = from; i < from + n; ++i) sum += Level(Bytes(id), i) * Level(Bytes(id), i);
    return std::sqrt(sum / static_cast<double>(n));
}

double PeakLevel(int id, std::size_t from, std::size_t n) {
    double most = 0;
    for (std::size_t i = from; i < from + n; ++i) most = std::max(most, std::abs(Level(Bytes(id), i)));
    return most;
}

// Share of the energy between lo and hi Hz, by a plain DFT of the stretch.
double BandShare(int id, std::size_t from, std::size_t n, double lo, double hi) {
    const std::uint8_t *s = Bytes(id);
    double inBand = 0, total = 0;
    for (std::size_t k = 1; k < n / 2; ++k) {
        const double hz = static_cast<double>(k) * RATE / static_cast<double>(n);
        double re = 0, im = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const double a = 2 * PI * static_cast<double>(k * i % n) / static_cast<double>(n);
            re += Level(s, from + i) * std::cos(a);
            im -= Level(s, from + i) * std::sin(a);
        }
        const double p = re * re + im * im;
        total += p;
        if (hz >= lo && hz <= hi) inBand += p;
    }
    return inBand / total;
}

std::string Text(const std::uint8_t *p, std::size_t n) { return std::string(reinterpret_cast<const char *>(p), n); }
std::uint32_t U32(const std::uint8_t *p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

TEST(Sounds, StoredAndPlayedLengths) {
    const std::uint32_t stored[SOUND_COUNT] = {10071, 472, 4008, 2784, 2418, 2690, 842, 17532, 1048, 906, 1008, 962};
    const std::size_t played[SOUND_COUNT] = {10016, 420, 3956, 2732, 2364, 2636, 788, 17480, 996, 852, 956, 908};
    for (int id = 1; id <= SOUND_COUNT; ++id) {
        SCOPED_TRACE(id);
        EXPECT_EQ(SOUNDS[id - 1].stored, stored[id - 1]);
        EXPECT_EQ(PlayedLength(id), played[id - 1]);
        // What the mixer plays never reaches the pad byte or the metadata.
        EXPECT_LE(PlayedLength(id), SAMPLE_COUNT[id - 1]);
        ASSERT_NE(SOUNDS[id - 1].samples, nullptr);
    }
}

TEST(Sounds, PadByteAndTrailingChunks) {
    for (int id = 1; id <= SOUND_COUNT; ++id) {
        SCOPED_TRACE(id);
        const std::uint8_t *s = Bytes(id);
        const std::size_t samples = SAMPLE_COUNT[id - 1];
        const std::size_t pad = samples % 2;
        if (pad) {
            EXPECT_EQ(s[samples], 0);
        }
        const std::uint8_t *chunk = s + samples + pad;
        const std::size_t stored = SOUNDS[id - 1].stored;
        if (id == SND_GAME_OVER) {
            EXPECT_EQ(stored, samples - 2);
            EXPECT_EQ(Text(chunk, 4), "smpl");
            EXPECT_EQ(U32(chunk + 4), 60u);
            EXPECT_EQ(U32(chunk + 16), 125000u);  // nanoseconds a sample at 8000 Hz
        } else if (id == SND_ALIEN_HIT || id == SND_START) {
            EXPECT_EQ(stored, samples + pad);
        } else {
            EXPECT_EQ(stored, samples + pad + 50);
            EXPECT_EQ(Text(chunk, 4), "LIST");
            EXPECT_EQ(U32(chunk + 4), 42u);
            EXPECT_EQ(Text(chunk + 8, 4), "INFO");
            EXPECT_EQ(Text(chunk + 12, 4), "INAM");
            const std::uint32_t nameSize = U32(chunk + 16);
            EXPECT_EQ(nameSize, 10u);
            EXPECT_EQ(chunk[20 + nameSize - 1], 0);  // terminated
            EXPECT_GT(std::strlen(reinterpret_cast<const char *>(chunk + 20)), 2u);
            EXPECT_EQ(Text(chunk + 30, 4), "ISFT");
            EXPECT_EQ(U32(chunk + 34), 11u);
            EXPECT_EQ(Text(chunk + 38, 11), std::string("ZULT-MIRAX", 11));
            EXPECT_EQ(chunk[49], 0);  // pad after the odd-sized entry
        }
    }
}

// No sound clicks on: each starts near silence and is silent where the
// mixer stops it.
TEST(Sounds, StartAndEndQuietly) {
    for (int id = 1; id <= SOUND_COUNT; ++id) {
        SCOPED_TRACE(id);
        EXPECT_LE(std::abs(Level(Bytes(id), 0)), 2);
        const std::size_t end = PlayedLength(id);
        EXPECT_LE(PeakLevel(id, end - 8, 8), 6);
        for (std::size_t i = end; i < SAMPLE_COUNT[id - 1]; ++i) EXPECT_EQ(Bytes(id)[i], 128) << i;
    }
}

TEST(Sounds, GameOverFallsRisesHoldsAndFades) {
    const int id = SND_GAME_OVER;
    EXPECT_NEAR(PeakHz(id, 0, At(0.1), 100, 400), 210, 20);         // starts near 220
    EXPECT_NEAR(PeakHz(id, At(0.5), At(0.1), 100, 400), 135, 12);   // bottom near 130
    EXPECT_NEAR(PeakHz(id, At(0.85), At(0.15), 100, 400), 160, 8);  // held near 160
    EXPECT_GE(PeakLevel(id, At(0.2), At(0.5)), 100);                // loud
    // Full until the last 0.2 s, then fading out.
    const double held = Rms(id, At(0.85), At(0.15));
    EXPECT_GT(Rms(id, At(1.06), At(0.04)), 0.6 * held);
    EXPECT_LT(Rms(id, At(1.20), At(0.04)), 0.3 * held);
}

TEST(Sounds, AlienHitIsAShortRisingBlip) {
    const int id = SND_ALIEN_HIT;
    const double first = PeakHz(id, 0, 200, 300, 1000);
    const double last = PeakHz(id, 220, 200, 300, 1000);
    EXPECT_NEAR(first, 560, 45);  // 520 rising: the first window averages its start
    EXPECT_NEAR(last, 660, 45);
    EXPECT_GT(last, first + 60);
    EXPECT_GE(PeakLevel(id, 0, 420), 60);
}

TEST(Sounds, CannonBlastIsALowBurstDying) {
    const int id = SND_CANNON_BLAST;
    EXPECT_GE(PeakLevel(id, 0, At(0.04)), 80);  // loud at once
    double previous = Rms(id, 0, At(0.05));
    for (int w = 1; w < 9; ++w) {
        const double now = Rms(id, At(0.05 * w), At(0.05));
        EXPECT_LT(now, previous) << w;
        previous = now;
    }
    EXPECT_LT(Rms(id, At(0.44), At(0.05)), 2.0);
    EXPECT_GT(BandShare(id, 0, At(0.2), 20, 700), 0.7);  // dark, not hiss
}

TEST(Sounds, UfoFlyIsAFaintMidBandWhirr) {
    const int id = SND_UFO_FLY;
    const std::size_t n = PlayedLength(id);
    const double peak = PeakLevel(id, 0, n);
    EXPECT_LE(peak, 18);
    EXPECT_GE(peak, 10);  // faint but heard
    EXPECT_GT(BandShare(id, 0, n, 500, 1100), 0.75);
}

TEST(Sounds, UfoHitWaversUpwards) {
    const int id = SND_UFO_HIT;
    EXPECT_NEAR(PeakHz(id, 0, At(0.045), 300, 1000), 530, 40);
    EXPECT_NEAR(PeakHz(id, At(0.2), At(0.045), 300, 1000), 680, 40);
    // It wavers: the pitch does not only rise, window after window.
    int falls = 0;
    double previous = 0;
    for (double t = 0; t < 0.28; t += 0.02) {
        const double hz = PeakHz(id, At(t), At(0.02), 300, 1000);
        if (hz < previous) ++falls;
        previous = hz;
    }
    EXPECT_GE(falls, 2);
}

TEST(Sounds, StartChirpsUpAndDown) {
    const int id = SND_START;
    EXPECT_NEAR(PeakHz(id, 0, At(0.02), 300, 2000), 510, 50);
    EXPECT_NEAR(PeakHz(id, At(0.155), At(0.02), 300, 2000), 1490, 60);
    EXPECT_NEAR(PeakHz(id, At(0.3), At(0.02), 300, 2000), 560, 70);
    // Buzzy: well above a pure tone's share of upper partials.
    EXPECT_LT(BandShare(id, 0, At(0.03), 400, 700), 0.85);
}

TEST(Sounds, CannonShotIsA600HzToneSaggingAndFading) {
    const int id = SND_CANNON_SHOT;
    const double first = PeakHz(id, 0, 240, 300, 1000);
    const double later = PeakHz(id, 480, 240, 300, 1000);
    EXPECT_NEAR(first, 610, 25);
    EXPECT_LT(later, first - 15);
    EXPECT_GT(later, 520);
    EXPECT_GT(Rms(id, 0, 200), 2 * Rms(id, 400, 200));
}

TEST(Sounds, GameStartPausesBeforeItsLastNote) {
    const int id = SND_GAME_START;
    // The only silence of 50 ms or more is the break before the last note.
    std::size_t runStart = 0, breaks = 0, breakAt = 0, breakLength = 0;
    const std::size_t n = PlayedLength(id);
    for (std::size_t i = 0; i <= n; ++i) {
        const bool silent = i < n && std::abs(Level(Bytes(id), i)) <= 1;
        if (silent) continue;
        if (i - runStart >= At(0.05) && runStart > 0 && i < n - 8) {
            ++breaks;
            breakAt = runStart;
            breakLength = i - runStart;
        }
        runStart = i + 1;
    }
    EXPECT_EQ(breaks, 1u);
    EXPECT_NEAR(static_cast<double>(breakAt) / RATE, 1.55, 0.03);
    EXPECT_NEAR(static_cast<double>(breakLength) / RATE, 0.1, 0.03);
    EXPECT_GT(Rms(id, At(1.7), At(0.2)), 10);  // the last note sounds after it
    // Low notes throughout.
    for (double t : {0.05, 0.45, 0.65, 1.15, 1.75}) EXPECT_LT(PeakHz(id, At(t), At(0.1), 60, 1500), 300) << t;
}

TEST(Sounds, MarchNotesAreSoftWithTheirDoubleOctave) {
    const struct {
        int id;
        double hz;
    } notes[] = {{SND_MARCH_1, 49}, {SND_MARCH_2, 62}, {SND_MARCH_3, 55}, {SND_MARCH_4, 65}};
    for (const auto &note : notes) {
        SCOPED_TRACE(note.id);
        const std::size_t n = PlayedLength(note.id);
        EXPECT_NEAR(PeakHz(note.id, 0, n, 30, 150), note.hz, 5);
        EXPECT_NEAR(PeakHz(note.id, 0, n, 150, 400), 4 * note.hz, 8);
        // The two stand out over the octave and the twelfth between them.
        const double weakest = std::min(Power(note.id, 0, n, note.hz), Power(note.id, 0, n, 4 * note.hz));
        EXPECT_GT(weakest, 4 * Power(note.id, 0, n, 2 * note.hz));
        EXPECT_GT(weakest, 4 * Power(note.id, 0, n, 3 * note.hz));
        EXPECT_LE(PeakLevel(note.id, 0, n), 64);  // soft
    }
}

}  // namespace
