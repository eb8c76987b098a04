// The sound catalogue: twelve built-in unsigned 8-bit sounds at 8000 Hz,
// each with its own channel, and Snd_Play, which starts one on the mixer.
#pragma once
#include <array>
#include <cstdint>

#include "platform/snd.h"

enum SoundId : int {
    SND_STOP = 0,
    SND_GAME_OVER = 1,
    SND_ALIEN_HIT = 2,
    SND_CANNON_BLAST = 3,
    SND_UFO_FLY = 4,
    SND_UFO_HIT = 5,
    SND_START = 6,
    SND_CANNON_SHOT = 7,
    SND_GAME_START = 8,
    SND_MARCH_1 = 9,
    SND_MARCH_2 = 10,
    SND_MARCH_3 = 11,
    SND_MARCH_4 = 12,
};

constexpr int SOUND_COUNT = 12;

// Which sounds share a voice: a new sound on a channel cuts off the last.
enum SoundChannel : int {
    SND_CH_CANNON = 0,  // the shot and the blast
    SND_CH_HIT = 1,     // an alien hit and the new-game phrase
    SND_CH_MARCH = 2,   // the march, and the title's and game-over's sounds
    SND_CH_SHIP = 3,    // the mystery ship's hum and its hit
};
static_assert(SND_CH_SHIP + 1 == SND_CHANNELS, "one channel per voice");

// Stored bytes after the played part that are never heard (the pad byte and
// metadata): Snd_Play asks for the stored length less these.
constexpr std::uint32_t SOUND_TRAILER = 55;

// How many samples a sound of this stored length plays.
constexpr std::uint32_t SoundPlayedLength(std::uint32_t stored) {
    return stored > SOUND_TRAILER ? Snd_VoiceLength(stored - SOUND_TRAILER) : 0;
}

// One entry of the sound table, by SoundId - 1.
struct Sound {
    const std::uint8_t *samples;  // the first stored byte
    std::uint32_t stored;         // stored length in bytes
};
extern const std::array<Sound, SOUND_COUNT> SOUNDS;

// Starts sound `id` on `channel` from its first sample, or silences the
// channel for SND_STOP. 0 done, 3 bad channel, 1 bad sound number; the
// channel is tested first. Callers ignore the result.
int Snd_Play(int channel, int id);

// Told every Snd_Play call: its arguments as passed and its result (the
// replay runner's event log).
void Snd_SetPlayObserver(void (*observer)(int channel, int id, int result));
