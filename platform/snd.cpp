// Sound mixer: four voices summed into 256-sample blocks on SDL's audio
// thread. Each block is mixed one callback ahead of the one that hands it
// over, so the callback never waits on mixing.
#include "platform/snd.h"

#include <SDL.h>

#include <algorithm>
#include <array>

namespace {

int SdlOpen(SDL_AudioSpec *desired, SDL_AudioSpec *obtained) { return SDL_OpenAudio(desired, obtained); }
void SdlPause(int pauseOn) { SDL_PauseAudio(pauseOn); }
void SdlLock() { SDL_LockAudio(); }
void SdlUnlock() { SDL_UnlockAudio(); }
void SdlClose() { SDL_CloseAudio(); }
void SdlMix(std::uint8_t *dst, const std::uint8_t *src, std::uint32_t len, int volume) {
    SDL_MixAudio(dst, src, len, volume);
}
constexpr SndDeviceOps SDL_DEVICE{SdlOpen, SdlPause, SdlLock, SdlUnlock, SdlClose, SdlMix};

// The mixer's state is exactly what its view shows; the device, which tests
// and the replay runner replace, is kept beside it.
SndView snd{{}, {}, 0, 0};

struct Seams {
    SndDeviceOps device;
};
Seams seams{SDL_DEVICE};

bool BadChannel(int channel) { return static_cast<unsigned>(channel) >= SND_CHANNELS; }

}  // namespace

void Snd_MixBlock() {
    std::array<int, SND_BLOCK> acc{};
    bool played = false;
    for (SndVoice &v : snd.voices) {
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
    std::array<std::uint8_t, SND_BLOCK> &block = snd.blocks[1 - snd.blockToggle];
    if (!played) {
        block.fill(SND_SILENCE);
        return;
    }
    for (int j = 0; j < SND_BLOCK; ++j) {
        block[j] = static_cast<std::uint8_t>(std::clamp(acc[j] + SND_SILENCE, 0, 255));
    }
}

void Snd_Callback(void *, std::uint8_t *stream, int len) {
    // The device asks for what Snd_Init requested (a block or part of one)
    // or, behind a format converter, for any other length: the blocks run
    // on as one stream, a block split across callbacks where it must be,
    // and the stream is never written past len.
    while (len > 0) {
        const std::uint8_t *block = snd.blocks[1 - snd.blockToggle].data();
        const int n = std::min(len, SND_BLOCK - snd.handedOver);
        seams.device.mix(stream, block + snd.handedOver, static_cast<std::uint32_t>(n), SDL_MIX_MAXVOLUME);
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
    want.samples = static_cast<Uint16>(Snd_DeviceSamples());
    want.callback = Snd_Callback;
    want.userdata = nullptr;
    // No obtained spec: SDL converts if the hardware wants another format.
    if (seams.device.open(&want, nullptr) < 0) {
        Snd_DeviceFailed(SDL_GetError());
        return 1;
    }
    for (SndVoice &v : snd.voices) {
        v.remaining = 0;
        v.loop = 0;
    }
    // Both blocks are primed while the device is paused. The lock is not
    // needed for that, but it orders these writes before the first
    // callback even where SDL's unpausing does not.
    seams.device.lock();
    snd.blockToggle = 1;
    Snd_MixBlock();
    snd.blockToggle = 0;
    Snd_MixBlock();
    snd.handedOver = 0;
    seams.device.unlock();
    seams.device.pause(0);
    return 0;
}

int Snd_StartVoice(int channel, const std::uint8_t *samples, std::int32_t length, int loop) {
    if (BadChannel(channel)) return SND_BAD_CHANNEL;
    const auto rounded = static_cast<std::int32_t>(Snd_VoiceLength(static_cast<std::uint32_t>(length)));
    seams.device.lock();
    SndVoice &v = snd.voices[channel];
    v.samples = samples;
    v.loop = loop;
    v.remaining = rounded;
    v.length = rounded;
    seams.device.unlock();
    return SND_OK;
}

int Snd_StopVoice(int channel) {
    if (BadChannel(channel)) return SND_BAD_CHANNEL;
    seams.device.lock();
    snd.voices[channel].loop = 0;
    snd.voices[channel].remaining = 0;
    seams.device.unlock();
    return SND_OK;
}

int Snd_Shutdown() {
    // Closing ends the callbacks, so the voices need no lock afterwards.
    seams.device.close();
    for (SndVoice &v : snd.voices) {
        v.remaining = 0;
        v.loop = 0;
    }
    return 0;
}

void Snd_SetDeviceOps(const SndDeviceOps *ops) {
    if (ops == nullptr) {
        seams.device = SDL_DEVICE;
        return;
    }
    // Any call left out falls back to SDL's own.
    seams.device.open = ops->open ? ops->open : SDL_DEVICE.open;
    seams.device.pause = ops->pause ? ops->pause : SDL_DEVICE.pause;
    seams.device.lock = ops->lock ? ops->lock : SDL_DEVICE.lock;
    seams.device.unlock = ops->unlock ? ops->unlock : SDL_DEVICE.unlock;
    seams.device.close = ops->close ? ops->close : SDL_DEVICE.close;
    seams.device.mix = ops->mix ? ops->mix : SDL_DEVICE.mix;
}

const SndView &Snd_View() { return snd; }
