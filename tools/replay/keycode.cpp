#include "tools/replay/keycode.h"

#include <SDL.h>

namespace replay {

// SDL 1.2's own numbering: a script's code is the key's code.
static_assert(SDLK_LAST == SCRIPT_KEY_CODES);

int KeySym(int scriptCode) { return scriptCode; }

}  // namespace replay
