// The game's window: its title and icon, the mode it starts in, and the
// switch to fullscreen and back. The display module owns the surface.
#pragma once

struct SDL_Surface;

// After SDL_Init: names the window, sets its icon and the video mode
// (fullscreen when ZULTMIRAX_FULLSCREEN is set). Null when the mode cannot be
// set, or when SDL fell back to a headless driver that nobody chose: with no
// display the game must not run unseen.
SDL_Surface *Window_Open(int w, int h);

// Fullscreen to window and back, keeping the picture. Returns the surface
// to draw on from now (null when no mode could be set); on a headless
// driver it changes nothing and returns `screen`.
SDL_Surface *Window_ToggleFullscreen(SDL_Surface *screen);
