#include "tools/replay/headless.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cstdlib>

#include "platform/gfx.h"
#include "platform/snd.h"

namespace replay {

namespace {

struct Headless {
    std::uint32_t now;  // virtual milliseconds
    std::array<std::uint8_t, SND_BLOCK> block;
};

Headless headless{0, {}};

// A paced present always finds exactly 16 ms since the previous one.
std::uint32_t VirtualTicks() { return headless.now; }
void VirtualDelay(std::uint32_t ms) { headless.now += ms; }
constexpr GfxClock VIRTUAL_CLOCK{VirtualTicks, VirtualDelay};

// Nobody sees the dummy driver's window: the whole-screen update would cost
// almost all of a pass and show nothing. Screenshots read the surface itself.
void ShowNothing(SDL_Surface *) {}

int DeviceOpen(SDL_AudioSpec *, SDL_AudioSpec *) { return 0; }
void DevicePause(int) {}
void DeviceLock() {}
void DeviceUnlock() {}
void DeviceClose() {}
// What SDL_MixAudio does for unsigned 8-bit samples at full volume.
void DeviceMix(std::uint8_t *dst, const std::uint8_t *src, std::uint32_t len, int) {
    for (std::uint32_t i = 0; i < len; ++i) {
        dst[i] = static_cast<std::uint8_t>(std::clamp(dst[i] + src[i] - SND_SILENCE, 0, 255));
    }
}
constexpr SndDeviceOps PULLED_DEVICE{DeviceOpen, DevicePause, DeviceLock, DeviceUnlock, DeviceClose, DeviceMix};

}  // namespace

void Headless_Install() {
    // Joystick input comes from the script alone: SDL's own joystick update
    // at every event pump would cost system calls (device discovery) on
    // every pass and let a plugged-in device into the run.
    setenv("SDL_AUTO_UPDATE_JOYSTICKS", "0", 0);
    headless.now = 0;
    Gfx_SetClock(&VIRTUAL_CLOCK);
    Gfx_SetShow(ShowNothing);
    Snd_SetDeviceOps(&PULLED_DEVICE);
}

void Headless_Remove() {
    Snd_SetDeviceOps(nullptr);
    Gfx_SetShow(nullptr);
    Gfx_SetClock(nullptr);
}

const std::uint8_t *Headless_PullBlock() {
    headless.block.fill(SND_SILENCE);  // SDL fills the stream with silence first
    Snd_Callback(nullptr, headless.block.data(), SND_BLOCK);
    return headless.block.data();
}

}  // namespace replay
