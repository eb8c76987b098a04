// The browser's SDL numbers keys as later SDLs do: the characters keep their
// codes, the others are their scan code + 1024 (up is 1106). Of the keys
// past the characters the game reads the arrows (and F11 switches
// fullscreen); every other code stays as it is, a code no key has here, so
// it is ignored as the desktop ignores it.
#include <SDL.h>

#include <array>

#include "tools/replay/keycode.h"

namespace replay {

namespace {

constexpr int CLASSIC_UP = 273;  // then down, right, left
constexpr int CLASSIC_F1 = 282;  // to F15 at 296
constexpr std::array<int, 4> ARROWS{SDLK_UP, SDLK_DOWN, SDLK_RIGHT, SDLK_LEFT};
constexpr std::array<int, 15> FUNCTION_KEYS{SDLK_F1, SDLK_F2,  SDLK_F3,  SDLK_F4,  SDLK_F5,  SDLK_F6,  SDLK_F7, SDLK_F8,
                                            SDLK_F9, SDLK_F10, SDLK_F11, SDLK_F12, SDLK_F13, SDLK_F14, SDLK_F15};

}  // namespace

int KeySym(int scriptCode) {
    const int arrow = scriptCode - CLASSIC_UP;
    if (arrow >= 0 && arrow < static_cast<int>(ARROWS.size())) return ARROWS[arrow];
    const int function = scriptCode - CLASSIC_F1;
    if (function >= 0 && function < static_cast<int>(FUNCTION_KEYS.size())) return FUNCTION_KEYS[function];
    return scriptCode;
}

}  // namespace replay
