// How much sound the device is asked for at a time on a desktop or handheld
// build. A sound started now is mixed into the block that follows the one
// being handed over, so it waits for the rest of that block and then for
// the device to take the new one.
//
// Under classic SDL 1.2 the request is the device's own buffer at 8000
// samples a second: half a block there takes a sound's wait from 32-64 ms
// to 16-48 ms, and 16 ms is still a comfortable buffer.
//
// The layer over SDL 2 passes the number on as its output buffer at the
// device's own rate (256 samples at 44.1 kHz is 5.8 ms), and its rate
// converter fetches 512 of the mixer's samples at a time whatever is asked.
// Half a block there was measured (scripts/bench) to save about 9 ms of
// some 130, while halving the buffer that keeps the device from running
// dry: it keeps a whole block.
#include "platform/sdl_layer.h"
#include "platform/snd.h"

int Snd_DeviceSamples() { return SdlLayer_Linked() ? SND_BLOCK : SND_BLOCK / 2; }

void Snd_DeviceFailed(const char *) {}  // a silent game says enough here
