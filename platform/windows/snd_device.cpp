// The sound device on Windows, classic SDL 1.2 over DirectSound or waveOut:
// half a block at a time, as classic SDL on Linux (platform/snd_device.cpp).
// A device that cannot be opened leaves the game silent, and the player is
// told why rather than left to wonder.
#include "platform/snd.h"
#include "platform/windows/notice.h"

int Snd_DeviceSamples() { return SND_BLOCK / 2; }

void Snd_DeviceFailed(const char *why) { Notice_Show("No sound: the game plays silent.", why, false); }
