// The game in a page: the desktop program's loop, which yields to the
// browser at every paced wait. When the run ends (Escape, Q, a quit) the
// page is told, shows the last frame and offers a new run. The page is
// also told when a sound starts, for the latency it measures, and which
// pass runs: keys that come while a pass waits for its present are read by
// that pass, as a script's keys for it are, so the page can write a script
// that replays the session exactly.
#include <SDL.h>
#include <emscripten.h>

#include "assets/sounds.h"
#include "game/entry.h"
#include "platform/gfx.h"

namespace {

void NoteSound(int channel, int id, int result) {
    EM_ASM(
        {
            if (Module['zmSound']) Module['zmSound']($0, $1, $2);
        },
        channel, id, result);
}

}  // namespace

int main() {
    Snd_SetPlayObserver(NoteSound);
    if (Entry_Start() != 0) {
        EM_ASM({
            if (Module['zmEnded']) Module['zmEnded'](1);
        });
        return 1;
    }
    int state = STATE_RESET;
    for (int pass = 0;; ++pass) {
        EM_ASM(
            {
                if (Module['zmPass']) Module['zmPass']($0, $1);
            },
            pass, Gfx_View().screen->pixels);
        if (Entry_Pass(&state) == 0) break;
    }
    Entry_Stop();
    EM_ASM({
        if (Module['zmEnded']) Module['zmEnded'](0);
    });
    return 0;
}
