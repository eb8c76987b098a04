// A lost display connection ends the process through exit() from inside
// Xlib while SDL's own threads (the sound device's) still run; the exit
// handlers then unload SDL under them and the process may crash. While the
// guard is armed, an exit() ends the process at once with status 1 instead,
// and SIGPIPE is ignored so that a write to the lost display comes back as an
// error for Xlib to report rather than killing the process.
#pragma once

void Gfx_ArmExitGuard();
void Gfx_DisarmExitGuard();
