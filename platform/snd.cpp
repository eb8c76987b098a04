// PLACEHOLDER until the mixer is built.
#include "platform/snd.h"
int Snd_Init() { return 1; }
int Snd_Play(int, int) { return 0; }
int Snd_Shutdown() { return 0; }
int Snd_StartVoice(int, const std::uint8_t *, std::int32_t, int) { return 0; }
int Snd_StopVoice(int) { return 0; }
void Snd_MixBlock() {}
void Snd_Callback(void *, std::uint8_t *, int) {}
void Snd_SetDeviceOps(const SndDeviceOps *) {}
void Snd_SetPlayObserver(void (*)(int, int, int)) {}
SndView Snd_View() { return {}; }
