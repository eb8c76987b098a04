// The program: takes no arguments, runs the screen sequence until a quit.
#include <cstdlib>

#include "game/entry.h"
#include "platform/exit_guard.h"

int main(int, char **) {
    if (Entry_Start() != 0) std::exit(-1);
    Gfx_ArmExitGuard();  // from here on a lost display ends the game cleanly
    int state = STATE_RESET;
    while (Entry_Pass(&state)) {
    }
    Gfx_DisarmExitGuard();
    Entry_Stop();
    return 0;
}
