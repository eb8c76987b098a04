// The game's window: its title and icon, the mode it starts in, and the
// switch to fullscreen and back. The display module owns the surface.
#pragma once
#include <cstdint>

struct SDL_Surface;

// The window's icon: WINDOW_ICON_SIZE x WINDOW_ICON_SIZE pixels of
// 0xAARRGGBB, row by row, copied. The icon is one of the game's assets, so
// the program entry hands it over before start-up; without one the window
// has none.
constexpr int WINDOW_ICON_SIZE = 32;
void Window_SetIcon(const std::uint32_t *argb);

// After SDL_Init: names the window, sets its icon and the video mode
// (fullscreen when ZULTMIRAX_FULLSCREEN is set). Null when the mode cannot be
// set, or when SDL fell back to a headless driver that nobody chose: with no
// display the game must not run unseen.
SDL_Surface *Window_Open(int w, int h);

// Puts the picture on the screen: the whole surface that Window_Open gave
// (scaled to the window where the platform's SDL cannot scale).
void Window_Show(SDL_Surface *screen);

// The display could not be started, for the reason given (SDL's error).
// The failure line is already on standard output; a platform whose programs
// have no visible output (Windows) also tells the player.
void Window_StartFailed(const char *why);

// F11 and Alt+Enter switch fullscreen: true for a key going down with
// these SDL key and modifier values.
bool Window_FullscreenKey(int sym, int mod);

// Fullscreen to window and back, keeping the picture. Returns the surface
// to draw on from now (null when no mode could be set); on a headless
// driver it changes nothing and returns `screen`.
SDL_Surface *Window_ToggleFullscreen(SDL_Surface *screen);
