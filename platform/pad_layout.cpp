// Which numbering the pads' buttons arrive in on a desktop or handheld build.
// Classic SDL 1.2, and its port on the handheld, pass on each device's own
// button numbers: the handheld's table knows the handheld's. The SDL 1.2
// layer over SDL 2 can present every pad as a game controller instead, with
// the same numbers whatever the hardware; it does so when its switch is on,
// and it is the SDL that reports itself as 1.2.50 or later.
#include <SDL.h>

#include <cstdlib>

#include "platform/pad.h"

namespace {

constexpr const char *CONTROLLER_SWITCH = "SDL12COMPAT_USE_GAME_CONTROLLERS";
constexpr int FIRST_LAYER_PATCH = 50;

// The layer reads its switch as a number: on when it is not 0.
bool SwitchOn() {
    const char *value = std::getenv(CONTROLLER_SWITCH);
    return value != nullptr && std::atoi(value) != 0;
}

}  // namespace

PadLayout Pad_PlatformLayout() {
    const SDL_version *v = SDL_Linked_Version();
    const bool layer = v->major == 1 && v->minor == 2 && v->patch >= FIRST_LAYER_PATCH;
    return layer && SwitchOn() ? PAD_LAYOUT_CONTROLLER : PAD_LAYOUT_HANDHELD;
}
