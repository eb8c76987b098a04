// The program: takes no arguments, runs the screen sequence until a quit.
#include <cstdlib>

#include "game/entry.h"

int main(int, char **) {
    if (Entry_Start() != 0) std::exit(-1);
    int state = STATE_RESET;
    while (Entry_Pass(&state)) {
    }
    Entry_Stop();
    return 0;
}
