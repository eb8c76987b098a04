// The mixer on a real SDL audio device: the disk driver writes whatever the
// device is fed to a file, which is read back and compared with the sound.
// SDL may have converted the stream (format, channels, rate) on the way.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "assets/sounds.h"
#include "platform/snd.h"

namespace {

// What the callback handed to SDL, recorded on the audio thread under
// SDL's audio lock.
std::vector<std::uint8_t> handed;
int callbacks = 0;

void RecordingMix(std::uint8_t *dst, const std::uint8_t *src, std::uint32_t len, int volume) {
    SDL_MixAudio(dst, src, len, volume);
    handed.insert(handed.end(), src, src + len);
    ++callbacks;
}

std::size_t HandedSoFar() {
    SDL_LockAudio();
    const std::size_t n = handed.size();
    SDL_UnlockAudio();
    return n;
}

bool WaitForHanded(std::size_t bytes) {
    for (int waited = 0; waited < 5000; waited += 5) {
        if (HandedSoFar() >= bytes) return true;
        SDL_Delay(5);
    }
    return false;
}

std::size_t PlayedLength(int id) { return SoundPlayedLength(SOUNDS[id - 1].stored); }

// The device's file as levels about silence (-128..127) on the first
// channel, for one guess at its format.
struct Format {
    const char *name;
    int bytesPerSample, channels, rate;
};
std::vector<double> Levels(const std::vector<std::uint8_t> &file, const Format &f) {
    std::vector<double> out;
    const std::size_t frame = static_cast<std::size_t>(f.bytesPerSample * f.channels);
    for (std::size_t at = 0; at + frame <= file.size(); at += frame) {
        if (f.bytesPerSample == 1) {
            out.push_back(file[at] - 128.0);
        } else if (f.bytesPerSample == 2) {
            out.push_back(static_cast<std::int16_t>(file[at] | file[at + 1] << 8) / 256.0);
        } else {
            float v;
            std::memcpy(&v, &file[at], 4);
            out.push_back(v * 128.0);
        }
    }
    return out;
}

// The worst difference between the sound and the levels read at `rate`,
// starting from frame `lag` (linear interpolation between frames).
double Mismatch(const std::vector<double> &levels, double lag, double rate, const std::uint8_t *sound, std::size_t n) {
    double worst = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double at = lag + static_cast<double>(i) * rate / SND_RATE;
        const auto k = static_cast<std::size_t>(at);
        if (at < 0 || k + 1 >= levels.size()) return 1e9;
        const double v = levels[k] + (at - static_cast<double>(k)) * (levels[k + 1] - levels[k]);
        worst = std::max(worst, std::abs(v - (sound[i] - 128.0)));
    }
    return worst;
}

// Where a sound first rises clearly above silence.
template <typename Level>
std::size_t Onset(std::size_t n, Level level) {
    for (std::size_t i = 0; i < n; ++i) {
        if (std::abs(level(i)) > 8) return i;
    }
    return n;
}

TEST(SndDevice, TheDeviceReceivesTheSoundWithinTwoBlocks) {
    char driver[32] = "";
    SDL_AudioDriverName(driver, sizeof driver);
    ASSERT_STREQ(driver, "disk") << "run with SDL_AUDIODRIVER=disk";
    // The driver reads the file name when the device opens.
    setenv("SDL_DISKAUDIOFILE", "snd_device_out.raw", 0);
    const char *path = std::getenv("SDL_DISKAUDIOFILE");
    std::remove(path);

    SndDeviceOps recording{};
    recording.mix = RecordingMix;  // the rest: SDL's own
    Snd_SetDeviceOps(&recording);
    ASSERT_EQ(Snd_Init(), 0);
    ASSERT_TRUE(WaitForHanded(2 * SND_BLOCK));

    const int id = SND_MARCH_1;  // smooth enough to survive resampling unchanged
    const std::size_t n = PlayedLength(id);
    const std::uint8_t *sound = SOUNDS[id - 1].samples;
    const std::size_t before = HandedSoFar();
    EXPECT_EQ(Snd_Play(2, id), SND_OK);
    // Then some silence, for whatever SDL keeps buffered before the file.
    ASSERT_TRUE(WaitForHanded(before + 3 * SND_BLOCK + n + 8 * SND_BLOCK));
    EXPECT_EQ(Snd_Shutdown(), 0);
    Snd_SetDeviceOps(nullptr);

    // Handed over: silence, then the sound from its first sample, starting
    // one block after the play (two if a callback slipped in between).
    std::size_t start = before;
    while (start <= before + 2 * SND_BLOCK &&
           (start + n > handed.size() || std::memcmp(&handed[start], sound, n) != 0)) {
        start += SND_BLOCK;
    }
    EXPECT_LE(start - before, 2u * SND_BLOCK) << "the sound was not handed over from its first sample";
    for (std::size_t i = before; i < start && i < handed.size(); ++i) ASSERT_EQ(handed[i], 128) << i;

    // The device's own record of what it received.
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in.good()) << path;
    const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(file.empty());

    const Format formats[] = {
        {"unsigned 8-bit mono 8000 Hz", 1, 1, 8000},    {"signed 16-bit stereo 44100 Hz", 2, 2, 44100},
        {"signed 16-bit stereo 48000 Hz", 2, 2, 48000}, {"signed 16-bit mono 8000 Hz", 2, 1, 8000},
        {"float stereo 44100 Hz", 4, 2, 44100},         {"float stereo 48000 Hz", 4, 2, 48000},
    };
    double best = 1e9;
    const char *bestName = "none";
    for (const Format &f : formats) {
        if (file.size() % static_cast<std::size_t>(f.bytesPerSample * f.channels) != 0) continue;
        const std::vector<double> levels = Levels(file, f);
        const std::size_t fileOnset = Onset(levels.size(), [&](std::size_t i) { return levels[i]; });
        const std::size_t soundOnset = Onset(n, [&](std::size_t i) { return sound[i] - 128.0; });
        if (fileOnset == levels.size()) continue;
        const double ratio = static_cast<double>(f.rate) / SND_RATE;
        const double guess = static_cast<double>(fileOnset) - static_cast<double>(soundOnset) * ratio;
        for (double lag = guess - 3 * ratio; lag <= guess + 3 * ratio; lag += 0.125) {
            const double m = Mismatch(levels, lag, f.rate, sound, n);
            if (m < best) {
                best = m;
                bestName = f.name;
            }
        }
    }
    // Exact when SDL passes the bytes through; within a couple of levels
    // after resampling and widening.
    EXPECT_LE(best, 2.5) << "closest reading: " << bestName;
    std::printf("device stream read as %s, worst difference %.2f levels\n", bestName, best);
}

}  // namespace
