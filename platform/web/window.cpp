// The browser's window is the page's canvas: the page shows the title and
// the icon, and owns fullscreen (it scales the canvas; the surface and its
// picture stay as they are).
#include <SDL.h>

#include "platform/window.h"

void Window_SetIcon(const std::uint32_t *) {}

SDL_Surface *Window_Open(int w, int h) { return SDL_SetVideoMode(w, h, 32, SDL_SWSURFACE); }

SDL_Surface *Window_ToggleFullscreen(SDL_Surface *screen) { return screen; }

// The page takes F11 and Alt+Enter itself; the game never sees them.
bool Window_FullscreenKey(int, int) { return false; }

void Window_Show(SDL_Surface *screen) { SDL_UpdateRect(screen, 0, 0, 0, 0); }

void Window_StartFailed(const char *) {}  // the line on standard output is seen here
