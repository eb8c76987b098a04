// Program entry and screen sequence: start-up, the nine-state loop, shut-down.
// main() and the replay runner drive the same functions.
#pragma once

enum EntryState : int {
    STATE_RESET = 0,
    STATE_SPLASH_ENTER = 1,
    STATE_SPLASH = 2,
    STATE_TITLE_ENTER = 3,
    STATE_TITLE = 4,
    STATE_GAME_ENTER = 5,
    STATE_GAME = 6,
    STATE_GAME_OVER_ENTER = 7,
    STATE_GAME_OVER = 8,
};

// Gfx_Init, Pad_Init, Snd_Init. Non-zero when the display cannot start (the
// message has been written); the caller then exits with status -1.
int Entry_Start();

// One pass of the main loop: the quit test, then the action of *state, which
// moves to its next state. Returns 0 when a quit was seen (no action done).
int Entry_Pass(int *state);

// Snd_Shutdown, Pad_Shutdown, Gfx_Shutdown, in that order. Returns 0.
int Entry_Stop();

// Read-only view for tests and tools.
struct EntryView {
    int screenTimer;
    int flashTimer;
};
const EntryView &Entry_View();
