// Which numbering the pads' buttons arrive in on a desktop or handheld build.
// Classic SDL 1.2, and its port on the handheld, pass on each device's own
// button numbers: the handheld's table knows the handheld's. The SDL 1.2
// layer over SDL 2 can present every pad as a game controller instead, with
// the same numbers whatever the hardware; it does so when its switch is on,
// and it is the SDL that reports itself as 1.2.50 or later (SdlLayer_Linked).
#include <cstdlib>

#include "platform/pad.h"
#include "platform/sdl_layer.h"

namespace {

constexpr const char *CONTROLLER_SWITCH = "SDL12COMPAT_USE_GAME_CONTROLLERS";

// The layer reads its switch as a number (as atoi does): on when it is not 0.
bool SwitchOn() {
    const char *value = std::getenv(CONTROLLER_SWITCH);
    return value != nullptr && std::strtol(value, nullptr, 10) != 0;
}

}  // namespace

PadLayout Pad_PlatformLayout() { return SdlLayer_Linked() && SwitchOn() ? PAD_LAYOUT_CONTROLLER : PAD_LAYOUT_HANDHELD; }
