// The mixer under load from two threads: the main thread starts and stops
// sounds on every channel thousands of times while SDL's audio thread
// mixes. Every voice must stay consistent as seen from either side.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>

#include "assets/sounds.h"
#include "platform/snd.h"

namespace {

std::atomic<int> callbacks{0};
std::atomic<int> badOnAudioThread{0};
// What the mixer last handed the device, and how much of it: a device that
// asks for half a block at a time fills only the front. Under SDL's audio lock.
std::array<std::uint8_t, SND_BLOCK> lastHanded{};
std::uint32_t lastHandedLength = 0;

// A voice is idle, or plays one of the built-in sounds with its whole
// rounded length and a position inside it.
bool VoiceIsSound(const SndVoice &v) {
    if (v.remaining < 0 || v.remaining > v.length || v.length % 4 != 0 || v.loop != 0) return false;
    if (v.remaining == 0) return true;
    for (int id = 1; id <= SOUND_COUNT; ++id) {
        const std::int32_t played = static_cast<std::int32_t>(SoundPlayedLength(SOUNDS[id - 1].stored));
        if (v.samples == SOUNDS[id - 1].samples) return v.length == played;
    }
    return false;
}

bool AllVoicesSound(const SndView &view) {
    return std::all_of(std::begin(view.voices), std::end(view.voices), VoiceIsSound);
}

// Runs inside the callback, so SDL's audio lock is held.
void CheckingMix(std::uint8_t *dst, const std::uint8_t *src, std::uint32_t len, int volume) {
    SDL_MixAudio(dst, src, len, volume);
    lastHandedLength = std::min<std::uint32_t>(len, SND_BLOCK);
    std::copy(src, src + lastHandedLength, lastHanded.begin());
    if (!AllVoicesSound(Snd_View())) badOnAudioThread.fetch_add(1);
    callbacks.fetch_add(1);
}

bool WaitForCallbacks(int count) {
    for (int waited = 0; waited < 5000; waited += 2) {
        if (callbacks.load() >= count) return true;
        SDL_Delay(2);
    }
    return false;
}

TEST(SndStress, PlaysAndStopsAgainstTheAudioThread) {
    SndDeviceOps checking{};
    checking.mix = CheckingMix;
    Snd_SetDeviceOps(&checking);
    ASSERT_EQ(Snd_Init(), 0);
    ASSERT_TRUE(WaitForCallbacks(1)) << "the audio thread never called back";

    int badOnMainThread = 0;
    const int firstCallback = callbacks.load();
    int plays = 0;
    // At least 40000 requests, spread over at least 24 callbacks.
    while (plays < 40000 || callbacks.load() < firstCallback + 24) {
        const int channel = plays % SND_CHANNELS;
        const int id = (plays * 7 + plays / 13) % (SOUND_COUNT + 1);  // every sound and SND_STOP
        if (Snd_Play(channel, id) != SND_OK) ++badOnMainThread;
        ++plays;
        if (plays % 32 == 0) {
            SDL_LockAudio();
            if (!AllVoicesSound(Snd_View())) ++badOnMainThread;
            SDL_UnlockAudio();
        }
        if (plays % 512 == 0) SDL_Delay(1);
        ASSERT_LT(plays, 50000000) << "the audio thread stalled";
    }
    EXPECT_EQ(badOnMainThread, 0);
    EXPECT_EQ(badOnAudioThread.load(), 0);

    // Once every channel is stopped, the device hears silence two blocks on.
    for (int c = 0; c < SND_CHANNELS; ++c) EXPECT_EQ(Snd_Play(c, SND_STOP), SND_OK);
    ASSERT_TRUE(WaitForCallbacks(callbacks.load() + 3));
    SDL_LockAudio();
    const auto handed = lastHanded.begin() + lastHandedLength;
    const bool silent = std::all_of(lastHanded.begin(), handed, [](std::uint8_t s) { return s == SND_SILENCE; });
    const std::uint32_t length = lastHandedLength;
    SDL_UnlockAudio();
    EXPECT_GT(length, 0u);
    EXPECT_TRUE(silent);

    // Shutting down ends the callbacks.
    EXPECT_EQ(Snd_Shutdown(), 0);
    const int atClose = callbacks.load();
    SDL_Delay(100);
    EXPECT_EQ(callbacks.load(), atClose);
    Snd_SetDeviceOps(nullptr);
}

}  // namespace
