// Sound mixer: four voices summed into 256-sample blocks on SDL's audio
// thread. Each block is mixed one callback ahead of the one that hands it
// over, so the callback never waits on mixing.
#include "platform/snd.h"

#include <SDL.h>

#include <algorithm>
#include <array>

#include "assets/sounds.h"

namespace {

struct Voice {
    const std::uint8_t *samples;
    std::int32_t remaining;  // 0: idle
    std::int32_t length;     // what remaining is reset to when looping
    int loop;
};

int SdlOpen(SDL_AudioSpec *desired, SDL_AudioSpec *obtained) { return SDL_OpenAudio(desired, obtained); }
void SdlPause(int pauseOn) { SDL_PauseAudio(pauseOn); }
void SdlLock() { SDL_LockAudio(); }
void SdlUnlock() { SDL_UnlockAudio(); }
void SdlClose() { SDL_CloseAudio(); }
void SdlMix(std::uint8_t *dst, const std::uint8_t *src, std::uint32_t len, int volume) {
    SDL_MixAudio(dst, src, len, volume);
}
constexpr SndDeviceOps SDL_DEVICE{SdlOpen, SdlPause, SdlLock, SdlUnlock, SdlClose, SdlMix};

struct Mixer {
    std::array<Voice, SND_CHANNELS> voices;
    std::array<std::array<std::uint8_t, SND_BLOCK>, 2> mixBlocks;
    int blockToggle;  // the mixer writes block 1 - blockToggle
    int handedOver;   // bytes of block 1 - blockToggle already handed over
    SndDeviceOps device;
    void (*playObserver)(int channel, int id, int result);
};

Mixer snd{{}, {}, 0, 0, SDL_DEVICE, nullptr};

bool BadChannel(int channel) { return static_cast<unsigned>(channel) >= SND_CHANNELS; }

}  // namespace

void Snd_MixBlock() {
    std::array<int, SND_BLOCK> acc{};
    bool played = false;
    for (Voice &v : snd.voices) {
        if (v.remaining <= 0) continue;
        played = true;
        for (int j = 0; j < SND_BLOCK; ++j) {
            acc[j] += v.samples[v.length - v.remaining] - SND_SILENCE;
            if (--v.remaining == 0) {
                if (!v.loop) break;  // the rest of the block gets nothing from it
                v.remaining = v.length;
            }
        }
    }
    std::array<std::uint8_t, SND_BLOCK> &block = snd.mixBlocks[1 - snd.blockToggle];
    if (!played) {
        block.fill(SND_SILENCE);
        return;
    }
    for (int j = 0; j < SND_BLOCK; ++j) {
        block[j] = static_cast<std::uint8_t>(std::clamp(acc[j] + SND_SILENCE, 0, 255));
    }
}

void Snd_Callback(void *, std::uint8_t *stream, int len) {
    // The device asks for 256 bytes, one block. Behind a format converter
    // it may ask for more or less: the blocks then run on as one stream, a
    // block split across callbacks where it must be, and the stream is
    // never written past len.
    while (len > 0) {
        const std::uint8_t *block = snd.mixBlocks[1 - snd.blockToggle].data();
        const int n = std::min(len, SND_BLOCK - snd.handedOver);
        snd.device.mix(stream, block + snd.handedOver, static_cast<std::uint32_t>(n), SDL_MIX_MAXVOLUME);
        stream += n;
        len -= n;
        snd.handedOver += n;
        if (snd.handedOver == SND_BLOCK) {
            snd.handedOver = 0;
            snd.blockToggle = 1 - snd.blockToggle;
            Snd_MixBlock();
        }
    }
}

int Snd_Init() {
    SDL_AudioSpec want{};
    want.freq = SND_RATE;
    want.format = AUDIO_U8;
    want.channels = 1;
    want.samples = SND_BLOCK;
    want.callback = Snd_Callback;
    want.userdata = nullptr;
    // No obtained spec: SDL converts if the hardware wants another format.
    if (snd.device.open(&want, nullptr) < 0) return 1;
    for (Voice &v : snd.voices) {
        v.remaining = 0;
        v.loop = 0;
    }
    // Both blocks are primed while the device is paused. The lock is not
    // needed for that, but it orders these writes before the first
    // callback even where SDL's unpausing does not.
    snd.device.lock();
    snd.blockToggle = 1;
    Snd_MixBlock();
    snd.blockToggle = 0;
    Snd_MixBlock();
    snd.handedOver = 0;
    snd.device.unlock();
    snd.device.pause(0);
    return 0;
}

int Snd_StartVoice(int channel, const std::uint8_t *samples, std::int32_t length, int loop) {
    if (BadChannel(channel)) return SND_BAD_CHANNEL;
    // Whole groups of four: a sound may play up to 3 bytes past the count.
    // Rounded in unsigned arithmetic so no count can overflow.
    const auto rounded = static_cast<std::int32_t>((static_cast<std::uint32_t>(length) + 3u) & ~3u);
    snd.device.lock();
    Voice &v = snd.voices[channel];
    v.samples = samples;
    v.loop = loop;
    v.remaining = rounded;
    v.length = rounded;
    snd.device.unlock();
    return SND_OK;
}

int Snd_StopVoice(int channel) {
    if (BadChannel(channel)) return SND_BAD_CHANNEL;
    snd.device.lock();
    snd.voices[channel].loop = 0;
    snd.voices[channel].remaining = 0;
    snd.device.unlock();
    return SND_OK;
}

namespace {

int Play(int channel, int id) {
    if (BadChannel(channel)) return SND_BAD_CHANNEL;
    if (static_cast<unsigned>(id) > SOUND_COUNT) return SND_BAD_SOUND;
    if (id == SND_STOP) return Snd_StopVoice(channel);
    const std::int32_t length = static_cast<std::int32_t>(SOUND_LENGTHS[id - 1]) - SOUND_TRAILER;
    return Snd_StartVoice(channel, SOUND_SAMPLES[id - 1], length, 0);
}

}  // namespace

int Snd_Play(int channel, int id) {
    const int result = Play(channel, id);
    if (snd.playObserver != nullptr) snd.playObserver(channel, id, result);
    return result;
}

int Snd_Shutdown() {
    // Closing ends the callbacks, so the voices need no lock afterwards.
    snd.device.close();
    for (Voice &v : snd.voices) {
        v.remaining = 0;
        v.loop = 0;
    }
    return 0;
}

void Snd_SetDeviceOps(const SndDeviceOps *ops) {
    if (ops == nullptr) {
        snd.device = SDL_DEVICE;
        return;
    }
    // Any call left out falls back to SDL's own.
    snd.device.open = ops->open ? ops->open : SDL_DEVICE.open;
    snd.device.pause = ops->pause ? ops->pause : SDL_DEVICE.pause;
    snd.device.lock = ops->lock ? ops->lock : SDL_DEVICE.lock;
    snd.device.unlock = ops->unlock ? ops->unlock : SDL_DEVICE.unlock;
    snd.device.close = ops->close ? ops->close : SDL_DEVICE.close;
    snd.device.mix = ops->mix ? ops->mix : SDL_DEVICE.mix;
}

void Snd_SetPlayObserver(void (*observer)(int channel, int id, int result)) { snd.playObserver = observer; }

SndView Snd_View() {
    SndView view{};
    for (int c = 0; c < SND_CHANNELS; ++c) {
        const Voice &v = snd.voices[c];
        view.voices[c] = {v.samples, v.remaining, v.length, v.loop};
    }
    view.blocks[0] = snd.mixBlocks[0].data();
    view.blocks[1] = snd.mixBlocks[1].data();
    view.blockToggle = snd.blockToggle;
    view.handedOver = snd.handedOver;
    return view;
}
