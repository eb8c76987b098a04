// Windows has no display connection to lose and no SIGPIPE: SDL's window
// there ends the game through a quit event, so there is nothing to guard.
#include "platform/exit_guard.h"

void Gfx_ArmExitGuard() {}
void Gfx_DisarmExitGuard() {}
