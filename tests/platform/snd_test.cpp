// The mixer driven by hand: a stand-in device that never calls back by
// itself, so each test pulls blocks through Snd_Callback and sees exactly
// what a device would be handed.
#include "platform/snd.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "assets/sounds.h"
#include "platform/sdl_layer.h"

namespace {

using Block = std::array<std::uint8_t, SND_BLOCK>;

struct FakeDevice {
    int openResult = 0;
    SDL_AudioSpec desired{};
    bool obtainedWasNull = false;
    std::vector<int> pauses;
    int opens = 0, locks = 0, unlocks = 0, closes = 0;
    int remainingAtClose = -1;                 // channel 0's, seen when the device closes
    std::vector<const std::uint8_t *> handed;  // where each piece handed over starts
};
FakeDevice fake;

int FakeOpen(SDL_AudioSpec *desired, SDL_AudioSpec *obtained) {
    ++fake.opens;
    fake.desired = *desired;
    fake.obtainedWasNull = obtained == nullptr;
    return fake.openResult;
}
void FakePause(int on) { fake.pauses.push_back(on); }
void FakeLock() { ++fake.locks; }
void FakeUnlock() { ++fake.unlocks; }
void FakeClose() {
    ++fake.closes;
    fake.remainingAtClose = Snd_View().voices[0].remaining;
}
// As SDL mixes unsigned 8-bit at full volume: a clamped sum about 128.
void FakeMix(std::uint8_t *dst, const std::uint8_t *src, std::uint32_t len, int) {
    fake.handed.push_back(src);
    for (std::uint32_t i = 0; i < len; ++i)
        dst[i] = static_cast<std::uint8_t>(std::clamp(dst[i] + src[i] - 128, 0, 255));
}
constexpr SndDeviceOps FAKE_DEVICE{FakeOpen, FakePause, FakeLock, FakeUnlock, FakeClose, FakeMix};

struct PlayCall {
    int channel, id, result;
};
std::vector<PlayCall> observed;
void Observe(int channel, int id, int result) { observed.push_back({channel, id, result}); }

// A stream as SDL hands it in: silence, then the callback fills it.
Block Pull() {
    Block b;
    b.fill(128);
    Snd_Callback(nullptr, b.data(), SND_BLOCK);
    return b;
}

// Everything the device gets until every voice is idle and the silence
// after it has been handed over.
std::vector<std::uint8_t> PullUntilQuiet() {
    std::vector<std::uint8_t> out;
    for (int guard = 0; guard < 200; ++guard) {
        const Block b = Pull();
        out.insert(out.end(), b.begin(), b.end());
        bool busy = false;
        for (const SndVoice &v : Snd_View().voices) busy = busy || v.remaining > 0;
        if (!busy && std::all_of(b.begin(), b.end(), [](std::uint8_t s) { return s == 128; })) break;
    }
    return out;
}

bool AllSilent(const std::uint8_t *p, std::size_t n) {
    return std::all_of(p, p + n, [](std::uint8_t s) { return s == 128; });
}

class Mixer : public ::testing::Test {
protected:
    void SetUp() override {
        fake = FakeDevice{};
        observed.clear();
        Snd_SetDeviceOps(&FAKE_DEVICE);
        Snd_SetPlayObserver(Observe);
        ASSERT_EQ(Snd_Init(), 0);
    }
    void TearDown() override {
        Snd_Shutdown();
        Snd_SetPlayObserver(nullptr);
        Snd_SetDeviceOps(nullptr);
    }
};

TEST_F(Mixer, InitOpensTheDeviceForTheMixerAndUnpausesItPrimed) {
    EXPECT_EQ(fake.opens, 1);
    EXPECT_EQ(fake.desired.freq, 8000);
    EXPECT_EQ(fake.desired.format, AUDIO_U8);
    EXPECT_EQ(fake.desired.channels, 1);
    EXPECT_EQ(fake.desired.samples, Snd_DeviceSamples());
    EXPECT_EQ(fake.desired.callback, &Snd_Callback);
    EXPECT_EQ(fake.desired.userdata, nullptr);
    EXPECT_TRUE(fake.obtainedWasNull);
    EXPECT_EQ(fake.pauses, std::vector<int>{0});
    const SndView view = Snd_View();
    EXPECT_EQ(view.blockToggle, 0);
    EXPECT_TRUE(AllSilent(view.blocks[0].data(), SND_BLOCK));
    EXPECT_TRUE(AllSilent(view.blocks[1].data(), SND_BLOCK));
    for (const SndVoice &v : view.voices) {
        EXPECT_EQ(v.remaining, 0);
        EXPECT_EQ(v.loop, 0);
    }
}

TEST_F(Mixer, NoVoiceHandsOverSilence) {
    for (int i = 0; i < 4; ++i) {
        const Block b = Pull();
        EXPECT_TRUE(AllSilent(b.data(), b.size())) << i;
    }
}

// The first callback hands over block 1 (primed), mixing block 0 for the
// next; the blocks then alternate, each mixed one callback ahead.
TEST_F(Mixer, BlocksAlternateFromBlockOneMixedAhead) {
    const SndView &view = Snd_View();
    std::array<std::uint8_t, 8> tone{};
    tone.fill(200);
    Snd_StartVoice(0, tone.data(), 8, 0);
    const Block first = Pull();
    EXPECT_EQ(Snd_View().blockToggle, 1);
    const Block second = Pull();
    EXPECT_EQ(Snd_View().blockToggle, 0);
    Pull();
    ASSERT_EQ(fake.handed.size(), 3u);
    EXPECT_EQ(fake.handed[0], view.blocks[1].data());
    EXPECT_EQ(fake.handed[1], view.blocks[0].data());
    EXPECT_EQ(fake.handed[2], view.blocks[1].data());
    // A sound started before a callback is first heard in the block after.
    EXPECT_TRUE(AllSilent(first.data(), first.size()));
    EXPECT_EQ(second[0], 200);
    EXPECT_EQ(second[7], 200);
    EXPECT_TRUE(AllSilent(second.data() + 8, SND_BLOCK - 8));
}

// How long a sound waits for the device, in samples of the device's time.
// The device takes `request` samples a callback and plays them at once, so
// a sound started after k callbacks comes while the k-th request plays; it
// is heard when the device reaches its first sample. The worst case, a
// start just after a callback, is the rest of the block in hand plus one
// request: 64 ms for whole blocks, 48 for half blocks. Under classic SDL,
// where the request is the device's buffer, the platform asks for half a
// block.
TEST_F(Mixer, ASoundWaitsAtMostTheRestOfItsBlockAndOneRequest) {
    const int asked = fake.desired.samples;
    ASSERT_GT(asked, 0);
    ASSERT_EQ(SND_BLOCK % asked, 0);
    if (!SdlLayer_Linked()) {
        EXPECT_LE(SND_BLOCK + asked, SND_BLOCK * 3 / 2);
    }

    std::array<std::uint8_t, 8> tone{};
    tone.fill(200);
    for (const int request : {SND_BLOCK, SND_BLOCK / 2, SND_BLOCK / 4, asked}) {
        SCOPED_TRACE(request);
        std::vector<std::uint8_t> piece(static_cast<std::size_t>(request));
        auto pull = [&] {
            std::fill(piece.begin(), piece.end(), 128);
            Snd_Callback(nullptr, piece.data(), request);
        };
        int worst = 0, best = SND_BLOCK * 4;
        for (int k = 1; k <= 2 * SND_BLOCK / request; ++k) {
            Snd_Shutdown();
            ASSERT_EQ(Snd_Init(), 0);
            for (int i = 0; i < k; ++i) pull();
            Snd_StartVoice(0, tone.data(), 8, 0);
            int position = k * request;  // where the tone lies in the device's stream
            for (bool found = false; !found; position += found ? 0 : request) {
                ASSERT_LT(position, (k + 8) * request);
                pull();
                const auto at = std::find(piece.begin(), piece.end(), 200);
                found = at != piece.end();
                if (found) position += static_cast<int>(at - piece.begin());
            }
            worst = std::max(worst, position - (k - 1) * request);  // started just after callback k
            best = std::min(best, position - k * request);          // or just before callback k + 1
        }
        EXPECT_EQ(worst, SND_BLOCK + request);
        EXPECT_EQ(best, request);
    }
}

// A voice ending inside a block gives nothing after its end, yet its part
// of the block is kept; the next block is silence.
TEST_F(Mixer, VoiceEndingInsideABlock) {
    std::array<std::uint8_t, 104> tone{};
    tone.fill(90);
    Snd_StartVoice(1, tone.data(), 100, 0);
    Pull();
    const Block b = Pull();
    EXPECT_TRUE(std::all_of(b.begin(), b.begin() + 100, [](std::uint8_t s) { return s == 90; }));
    EXPECT_TRUE(AllSilent(b.data() + 100, SND_BLOCK - 100));
    EXPECT_EQ(Snd_View().voices[1].remaining, 0);
    const Block after = Pull();
    EXPECT_TRUE(AllSilent(after.data(), after.size()));
}

TEST_F(Mixer, LengthsRoundUpToWholeGroupsOfFour) {
    std::array<std::uint8_t, 1024> tone{};
    const struct { std::int32_t given, kept; } cases[] = {{907, 908}, {908, 908}, {905, 908}, {1, 4}, {0, 0}};
    for (const auto &c : cases) {
        Snd_StartVoice(2, tone.data(), c.given, 0);
        EXPECT_EQ(Snd_View().voices[2].length, c.kept) << c.given;
        EXPECT_EQ(Snd_View().voices[2].remaining, c.kept) << c.given;
    }
    EXPECT_EQ(Snd_StartVoice(4, tone.data(), 8, 0), SND_BAD_CHANNEL);
    EXPECT_EQ(Snd_StartVoice(-1, tone.data(), 8, 0), SND_BAD_CHANNEL);
    EXPECT_EQ(Snd_StopVoice(4), SND_BAD_CHANNEL);
}

// Playing on a busy channel, with another sound or the same one, starts
// from the first sample in the next block mixed.
TEST_F(Mixer, RestartingAChannelStartsFromTheFirstSample) {
    const std::uint8_t *march1 = SOUNDS[SND_MARCH_1 - 1].samples;
    const std::uint8_t *march2 = SOUNDS[SND_MARCH_2 - 1].samples;
    Snd_Play(2, SND_MARCH_1);
    Pull();
    Block b = Pull();
    EXPECT_EQ(std::memcmp(b.data(), march1, SND_BLOCK), 0);

    Snd_Play(2, SND_MARCH_1);
    EXPECT_EQ(Snd_View().voices[2].remaining, Snd_View().voices[2].length);
    Pull();  // already mixed: carries on from the old position
    b = Pull();
    EXPECT_EQ(std::memcmp(b.data(), march1, SND_BLOCK), 0);

    Snd_Play(2, SND_MARCH_2);
    Pull();
    b = Pull();
    EXPECT_EQ(std::memcmp(b.data(), march2, SND_BLOCK), 0);
    EXPECT_EQ(Snd_View().voices[2].samples, march2);
}

TEST_F(Mixer, StopSilencesAChannelAndIsHarmlessWhenIdle) {
    Snd_Play(0, SND_CANNON_SHOT);
    Pull();
    EXPECT_EQ(Snd_Play(0, SND_STOP), SND_OK);
    EXPECT_EQ(Snd_View().voices[0].remaining, 0);
    Pull();  // mixed before the stop
    const Block b = Pull();
    EXPECT_TRUE(AllSilent(b.data(), b.size()));

    const SndVoice before = Snd_View().voices[3];
    EXPECT_EQ(Snd_Play(3, SND_STOP), SND_OK);
    const SndVoice after = Snd_View().voices[3];
    EXPECT_EQ(after.samples, before.samples);
    EXPECT_EQ(after.remaining, 0);
    EXPECT_EQ(after.length, before.length);
    EXPECT_EQ(after.loop, 0);
}

// Refusals change no voice; the channel is judged before the sound; the
// observer hears every call as it was made.
TEST_F(Mixer, PlayResultsAndTheObserver) {
    Snd_Play(1, SND_ALIEN_HIT);
    observed.clear();
    const int locksBefore = fake.locks;
    const PlayCall calls[] = {
        {4, SND_CANNON_SHOT, 3},
        {-1, SND_CANNON_SHOT, 3},
        {0, 13, 1},
        {0, -1, 1},
        {9, 99, 3},
        {-5, 0, 3},
        {2, 12, 0},
        {1, 0, 0},
    };
    for (const PlayCall &c : calls) {
        const SndView before = Snd_View();
        EXPECT_EQ(Snd_Play(c.channel, c.id), c.result) << c.channel << "," << c.id;
        if (c.result != SND_OK) {
            const SndView after = Snd_View();
            for (int ch = 0; ch < SND_CHANNELS; ++ch) {
                EXPECT_EQ(after.voices[ch].remaining, before.voices[ch].remaining);
                EXPECT_EQ(after.voices[ch].samples, before.voices[ch].samples);
            }
        }
    }
    ASSERT_EQ(observed.size(), std::size(calls));
    for (std::size_t i = 0; i < observed.size(); ++i) {
        EXPECT_EQ(observed[i].channel, calls[i].channel);
        EXPECT_EQ(observed[i].id, calls[i].id);
        EXPECT_EQ(observed[i].result, calls[i].result);
    }
    // Only the two accepted calls touched the voices, each under the lock.
    EXPECT_EQ(fake.locks - locksBefore, 2);
    EXPECT_EQ(fake.unlocks, fake.locks);
    EXPECT_EQ(Snd_View().voices[2].samples, SOUNDS[SND_MARCH_4 - 1].samples);
    EXPECT_EQ(Snd_View().voices[1].remaining, 0);
}

TEST_F(Mixer, LoopingVoiceWrapsWithinABlock) {
    std::array<std::uint8_t, 100> ramp{};
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::uint8_t>(100 + i);
    Snd_StartVoice(3, ramp.data(), 100, 1);
    Pull();
    const Block b = Pull();
    for (int j = 0; j < SND_BLOCK; ++j) ASSERT_EQ(b[j], ramp[j % 100]) << j;
    EXPECT_EQ(Snd_View().voices[3].remaining, 100 - (2 * SND_BLOCK) % 100);  // two blocks mixed so far
}

TEST_F(Mixer, FourFullVoicesClampRatherThanWrap) {
    std::array<std::uint8_t, 256> loud{}, quiet{}, mid{};
    loud.fill(255);
    quiet.fill(0);
    mid.fill(200);
    for (int ch = 0; ch < SND_CHANNELS; ++ch) Snd_StartVoice(ch, loud.data(), 256, 0);
    Pull();
    Block b = Pull();
    EXPECT_TRUE(std::all_of(b.begin(), b.end(), [](std::uint8_t s) { return s == 255; }));
    for (int ch = 0; ch < SND_CHANNELS; ++ch) Snd_StartVoice(ch, quiet.data(), 256, 0);
    Pull();
    b = Pull();
    EXPECT_TRUE(std::all_of(b.begin(), b.end(), [](std::uint8_t s) { return s == 0; }));
    // Two voices: 72 + 72 above silence would be 272.
    Snd_StartVoice(0, mid.data(), 256, 0);
    Snd_StartVoice(1, mid.data(), 256, 0);
    Pull();
    b = Pull();
    EXPECT_EQ(b[0], 255);
    // Opposite voices cancel rather than clamp.
    Snd_StartVoice(0, loud.data(), 256, 0);
    Snd_StartVoice(1, quiet.data(), 256, 0);
    Pull();
    b = Pull();
    EXPECT_EQ(b[0], 127);
}

// Behind SDL's format converter the device may ask for other lengths than
// one block. Whatever lengths it asks for, it gets the same stream as a
// device asking 256 bytes at a time: short requests continue the block,
// long ones run on into the next blocks, nothing is dropped or repeated,
// and nothing is written past the length asked.
TEST_F(Mixer, AnyRequestLengthGetsTheSameStreamAsWholeBlocks) {
    std::array<std::uint8_t, 1000> ramp{};
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::uint8_t>(20 + (i * 7) % 211);
    constexpr std::size_t WANT = 5 * SND_BLOCK;
    Snd_StartVoice(0, ramp.data(), static_cast<std::int32_t>(ramp.size()), 0);
    std::vector<std::uint8_t> blocks;
    while (blocks.size() < WANT) {
        const Block b = Pull();
        blocks.insert(blocks.end(), b.begin(), b.end());
    }
    ASSERT_EQ(blocks[SND_BLOCK], 20);  // the sound starts in the second block

    for (const std::vector<int> &lengths : {std::vector<int>{100, 100, 100, 0, -4, 57, 300, 612, 11},
                                            std::vector<int>{512, 1, 255, 256, 256}, std::vector<int>{1280}}) {
        Snd_Shutdown();
        ASSERT_EQ(Snd_Init(), 0);
        Snd_StartVoice(0, ramp.data(), static_cast<std::int32_t>(ramp.size()), 0);
        std::vector<std::uint8_t> got;
        for (const int len : lengths) {
            std::vector<std::uint8_t> stream(static_cast<std::size_t>(std::max(len, 0)) + 16, 0xAA);
            std::fill(stream.begin(), stream.begin() + std::max(len, 0), 128);
            Snd_Callback(nullptr, stream.data(), len);
            got.insert(got.end(), stream.begin(), stream.begin() + std::max(len, 0));
            for (std::size_t i = static_cast<std::size_t>(std::max(len, 0)); i < stream.size(); ++i) {
                ASSERT_EQ(stream[i], 0xAA) << "written past len " << len;
            }
        }
        ASSERT_EQ(got.size(), WANT);
        for (std::size_t i = 0; i < WANT; ++i) ASSERT_EQ(got[i], blocks[i]) << "byte " << i;
        EXPECT_EQ(Snd_View().handedOver, 0);
    }
}

// A block split across callbacks is mixed once: the next block is mixed
// only when the last byte of this one has been handed over.
TEST_F(Mixer, ASplitBlockIsHandedOverInPiecesBeforeTheToggleFlips) {
    std::array<std::uint8_t, 300> stream{};
    Snd_Callback(nullptr, stream.data(), 100);
    EXPECT_EQ(Snd_View().blockToggle, 0);
    EXPECT_EQ(Snd_View().handedOver, 100);
    Snd_Callback(nullptr, stream.data(), 200);
    EXPECT_EQ(Snd_View().blockToggle, 1);
    EXPECT_EQ(Snd_View().handedOver, 44);
    const SndView &view = Snd_View();
    ASSERT_EQ(fake.handed.size(), 3u);
    EXPECT_EQ(fake.handed[0], view.blocks[1].data());
    EXPECT_EQ(fake.handed[1], view.blocks[1].data() + 100);
    EXPECT_EQ(fake.handed[2], view.blocks[0].data());
}

// Each built-in sound is heard for exactly its played length, its stored
// bytes past that never reaching the device.
TEST_F(Mixer, EverySoundPlaysItsLengthAndNoMore) {
    for (int id = 1; id <= SOUND_COUNT; ++id) {
        SCOPED_TRACE(id);
        const std::size_t played = SoundPlayedLength(SOUNDS[id - 1].stored);
        Snd_Play(id % SND_CHANNELS, id);
        Pull();  // mixed before the play
        const std::vector<std::uint8_t> heard = PullUntilQuiet();
        ASSERT_GE(heard.size(), played);
        EXPECT_EQ(std::memcmp(heard.data(), SOUNDS[id - 1].samples, played), 0);
        EXPECT_TRUE(AllSilent(heard.data() + played, heard.size() - played));
    }
}

// The game-over screen starts its sound and stops the other channels:
// only the game-over sound is heard, and it cuts the march at once.
TEST_F(Mixer, GameOverCutsTheMarchAndOutlastsTheStops) {
    Snd_Play(0, SND_CANNON_BLAST);
    Snd_Play(1, SND_ALIEN_HIT);
    Snd_Play(2, SND_MARCH_3);
    Snd_Play(3, SND_UFO_FLY);
    Pull();
    Pull();
    Snd_Play(2, SND_GAME_OVER);
    Snd_Play(0, SND_STOP);
    Snd_Play(1, SND_STOP);
    Snd_Play(3, SND_STOP);
    Pull();
    const std::vector<std::uint8_t> heard = PullUntilQuiet();
    const std::size_t played = SoundPlayedLength(SOUNDS[SND_GAME_OVER - 1].stored);
    ASSERT_GE(heard.size(), played);
    EXPECT_EQ(std::memcmp(heard.data(), SOUNDS[SND_GAME_OVER - 1].samples, played), 0);
}

TEST_F(Mixer, ShutdownClosesThenSilences) {
    Snd_Play(0, SND_CANNON_BLAST);
    EXPECT_EQ(Snd_Shutdown(), 0);
    EXPECT_EQ(fake.closes, 1);
    EXPECT_GT(fake.remainingAtClose, 0);  // the device was closed first
    for (const SndVoice &v : Snd_View().voices) EXPECT_EQ(v.remaining, 0);
}

// A device that cannot be opened: no priming, no unpausing; requests are
// still accepted and the shutdown still succeeds.
TEST(MixerNoDevice, FailedOpenLeavesPlayWorking) {
    fake = FakeDevice{};
    fake.openResult = -1;
    Snd_SetDeviceOps(&FAKE_DEVICE);
    EXPECT_EQ(Snd_Init(), 1);
    EXPECT_TRUE(fake.pauses.empty());
    EXPECT_EQ(Snd_Play(0, SND_CANNON_SHOT), SND_OK);
    EXPECT_EQ(Snd_View().voices[0].samples, SOUNDS[SND_CANNON_SHOT - 1].samples);
    EXPECT_EQ(Snd_Play(0, SND_STOP), SND_OK);
    EXPECT_EQ(Snd_Play(7, SND_STOP), SND_BAD_CHANNEL);
    EXPECT_EQ(Snd_Shutdown(), 0);
    Snd_SetDeviceOps(nullptr);
}

// Calls left out of a device fall back to SDL's; null restores SDL's.
TEST(MixerNoDevice, PartialDeviceFallsBackToSdl) {
    fake = FakeDevice{};
    SndDeviceOps onlyLock{};
    onlyLock.lock = FakeLock;
    onlyLock.unlock = FakeUnlock;
    Snd_SetDeviceOps(&onlyLock);
    Snd_StopVoice(0);
    EXPECT_EQ(fake.locks, 1);
    EXPECT_EQ(fake.unlocks, 1);
    Snd_SetDeviceOps(nullptr);
    Snd_StopVoice(0);
    EXPECT_EQ(fake.locks, 1);
}

}  // namespace
