// Windows programs with a window have no visible standard error: what the
// player must know (the game cannot start, or plays silent) goes in a
// message box, and to standard error and the debugger's output, where a
// developer looks (a console's redirect, Wine's terminal, DebugView).
#pragma once

// Blocks until the player closes the box. `error` says the box is about a
// failure (the game ends) rather than a warning (the game goes on).
void Notice_Show(const char *headline, const char *why, bool error);
