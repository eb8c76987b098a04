// The sound catalogue: twelve built-in unsigned 8-bit sounds at 8000 Hz.
#pragma once
#include <array>
#include <cstdint>

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
constexpr int SOUND_TRAILER = 55;  // stored bytes never played: Snd_Play plays stored - 55

// Indexed by SoundId - 1: the first stored byte and the stored length.
extern const std::array<const std::uint8_t *, SOUND_COUNT> SOUND_SAMPLES;
extern const std::array<std::uint32_t, SOUND_COUNT> SOUND_LENGTHS;
