// The page's sound device takes a quarter block at a time, by the audio
// clock, a little ahead of when it plays (platform/web/sdl_web.js).
#include "platform/snd.h"

int Snd_DeviceSamples() { return SND_BLOCK / 4; }

void Snd_DeviceFailed(const char *) {}  // a silent game says enough here
