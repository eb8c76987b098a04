// Key codes in scripts are classic SDL 1.2's on every build (273 is up, 27
// Escape), so that a script means the same everywhere; each build turns
// them into the codes of the SDL it links.
#pragma once

namespace replay {

constexpr int SCRIPT_KEY_CODES = 323;  // classic SDL's SDLK_LAST: codes 0-322

// The linked SDL's key code for a script's code 0-322.
int KeySym(int scriptCode);

}  // namespace replay
