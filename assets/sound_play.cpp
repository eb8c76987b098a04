// Snd_Play: the catalogue's lookup in front of the mixer.
#include "assets/sounds.h"

namespace {

void (*playObserver)(int channel, int id, int result) = nullptr;

int Play(int channel, int id) {
    if (static_cast<unsigned>(channel) >= SND_CHANNELS) return SND_BAD_CHANNEL;
    if (static_cast<unsigned>(id) > SOUND_COUNT) return SND_BAD_SOUND;
    if (id == SND_STOP) return Snd_StopVoice(channel);
    const Sound &sound = SOUNDS[static_cast<std::size_t>(id - 1)];
    return Snd_StartVoice(channel, sound.samples, static_cast<std::int32_t>(sound.stored - SOUND_TRAILER), 0);
}

}  // namespace

int Snd_Play(int channel, int id) {
    const int result = Play(channel, id);
    if (playObserver != nullptr) playObserver(channel, id, result);
    return result;
}

void Snd_SetPlayObserver(void (*observer)(int channel, int id, int result)) { playObserver = observer; }
