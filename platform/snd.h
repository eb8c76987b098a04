// Sound mixer: four voices mixed in software over SDL audio, 8000 Hz,
// unsigned 8-bit mono, blocks of 256 samples. Channel = voice.
#pragma once
#include <cstdint>

struct SDL_AudioSpec;

constexpr int SND_CHANNELS = 4;
constexpr int SND_BLOCK = 256;  // samples (bytes) per block
constexpr int SND_RATE = 8000;  // samples per second
constexpr int SND_SILENCE = 128;

enum SndResult : int {
    SND_OK = 0,
    SND_BAD_SOUND = 1,    // sound number outside 0-12
    SND_BAD_CHANNEL = 3,  // channel outside 0-3
};

int Snd_Init();
int Snd_Play(int channel, int id);
int Snd_Shutdown();

// Internal to the mixer; public for its tests.
int Snd_StartVoice(int channel, const std::uint8_t *samples, std::int32_t length, int loop);
int Snd_StopVoice(int channel);
void Snd_MixBlock();
void Snd_Callback(void *userdata, std::uint8_t *stream, int len);

// Device seam: SDL's audio calls by default. The replay runner passes a
// device that never calls back by itself and pulls blocks through
// Snd_Callback on virtual time. Null restores SDL's.
struct SndDeviceOps {
    int (*open)(SDL_AudioSpec *desired, SDL_AudioSpec *obtained);
    void (*pause)(int pauseOn);
    void (*lock)();
    void (*unlock)();
    void (*close)();
    void (*mix)(std::uint8_t *dst, const std::uint8_t *src, std::uint32_t len, int volume);
};
void Snd_SetDeviceOps(const SndDeviceOps *ops);

// Told every Snd_Play call: its arguments as passed and its result.
void Snd_SetPlayObserver(void (*observer)(int channel, int id, int result));

// Read-only view of the mixer's state for tests and tools. Take it under
// SDL_LockAudio while a device runs.
struct SndVoiceView {
    const std::uint8_t *samples;
    std::int32_t remaining;
    std::int32_t length;
    int loop;
};
struct SndView {
    SndVoiceView voices[SND_CHANNELS];
    const std::uint8_t *blocks[2];  // SND_BLOCK bytes each
    int blockToggle;
    int handedOver;  // bytes of the block being handed over that the device already has
};
SndView Snd_View();
