// The mixer when SDL has no audio device to give (run with an audio driver
// that does not exist): the game carries on silently.
#include <SDL.h>
#include <gtest/gtest.h>

#include "assets/sounds.h"
#include "platform/snd.h"

namespace {

TEST(SndNoDevice, PlayStillWorksAndShutdownSucceeds) {
    Snd_SetDeviceOps(nullptr);
    EXPECT_EQ(Snd_Init(), 1);
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_STOPPED);
    EXPECT_EQ(Snd_Play(0, SND_CANNON_SHOT), SND_OK);
    EXPECT_EQ(Snd_Play(2, SND_MARCH_1), SND_OK);
    const SndView view = Snd_View();
    EXPECT_EQ(view.voices[0].samples, SOUNDS[SND_CANNON_SHOT - 1].samples);
    EXPECT_EQ(view.voices[0].remaining, 788);
    EXPECT_EQ(view.voices[2].remaining, 996);
    EXPECT_EQ(Snd_Play(1, SND_STOP), SND_OK);
    EXPECT_EQ(Snd_Play(4, SND_MARCH_1), SND_BAD_CHANNEL);
    EXPECT_EQ(Snd_Shutdown(), 0);
    for (const SndVoice &v : Snd_View().voices) EXPECT_EQ(v.remaining, 0);
}

}  // namespace
