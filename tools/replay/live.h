// The runner on a real display, the real clock and a real sound device:
// recording a live game as an input script, and watching a script.
//
// Real input never reaches the game by itself: an SDL event filter holds
// every event back, and at each pass boundary the recorder pushes what it
// held, exactly as the script's events are pushed, and writes those lines.
// A headless replay of the recording therefore sees the same events before
// the same passes. When watching, the filter only listens for a quit.
#pragma once
#include <SDL.h>

#include <string>

namespace replay {

enum LiveMode : int { LIVE_OFF, LIVE_RECORD, LIVE_WATCH };

// False with *error set when this build cannot run MODE: asked before any
// output is opened, so that a refused run touches no file.
bool Live_Allowed(int mode, std::string *error);

// When recording, opens the script file and writes its heading, which names
// the pad layout its joystick lines are in. False with *error set when the
// file cannot be opened.
bool Live_Open(int mode, const std::string &recordPath, int padLayout, std::string *error);

// Asks the SDL layer to present pads in its game-controller layout, as the
// launcher does, unless the player has said otherwise.
void TurnOnControllerLayout();

// Installs the event filter, once SDL has started (classic SDL clears any
// filter when its event loop starts) and after the pad's own.
void Live_Arm();

// At the boundary before PASS: takes in what the system has, pushes and
// writes what was recorded. False when the watcher asked to stop.
bool Live_BeforePass(long pass);

// Removes the filter and, when recording, writes the closing line saying
// how many passes ran. True when the whole script reached its file.
bool Live_Close(long passes);
void Live_Abandon();

// The event filter that Live_Arm installs; public for its tests.
int Live_Filter(const SDL_Event *event);

// The script line for an event the game reads, without its newline; false
// for an event that no script line can express.
bool FormatEvent(long pass, const SDL_Event &event, std::string *line);

}  // namespace replay
