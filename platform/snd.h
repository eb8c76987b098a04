// Sound mixer: four voices mixed in software over SDL audio, 8000 Hz,
// unsigned 8-bit mono, blocks of 256 samples. Channel = voice.
#pragma once
#include <array>
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

// A voice plays whole groups of four samples: a count is raised to the next
// multiple of 4, so a sound may play up to 3 bytes past the count it is
// given. Rounded in unsigned arithmetic, so no count can overflow.
constexpr std::uint32_t Snd_VoiceLength(std::uint32_t count) { return (count + 3u) & ~3u; }

// How many samples Snd_Init asks the device for at a time; each platform
// build supplies it from a variant file. The mixer works in whole blocks
// whatever the device asks: a smaller request only lets a freshly mixed
// block reach the device sooner.
int Snd_DeviceSamples();
// The device could not be opened, for the reason given (SDL's error): the
// game goes on silent. Where programs have no visible output (Windows) the
// player is told why.
void Snd_DeviceFailed(const char *why);

int Snd_Init();
int Snd_Shutdown();

// Starts `samples` on `channel` from its first sample (length rounded as
// above), or stops it. 0, or 3 for a bad channel. The sound catalogue's
// Snd_Play calls these; nothing else in the game does.
int Snd_StartVoice(int channel, const std::uint8_t *samples, std::int32_t length, int loop);
int Snd_StopVoice(int channel);

// Mixes the voices into the block after the next one; the callback SDL's
// audio thread calls hands over the next block and mixes the one after.
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

// The mixer's state, which tests and tools read through Snd_View. Read it
// under SDL_LockAudio while a device runs.
struct SndVoice {
    const std::uint8_t *samples;
    std::int32_t remaining;  // 0: idle
    std::int32_t length;     // what remaining is reset to when looping
    int loop;
};
struct SndView {
    std::array<SndVoice, SND_CHANNELS> voices;
    std::array<std::array<std::uint8_t, SND_BLOCK>, 2> blocks;
    int blockToggle;  // the mixer writes block 1 - blockToggle
    int handedOver;   // bytes of the block being handed over that the device already has
};
const SndView &Snd_View();
