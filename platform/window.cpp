#include "platform/window.h"

#include <SDL.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/gfx.h"

namespace {

constexpr const char *TITLE = "ZULT-MIRAX";
constexpr int ICON_SIZE = WINDOW_ICON_SIZE;
constexpr int DEPTH = 32;
// Drivers that show no window: those that draw into memory only, and the
// text-art ones that classic SDL falls back to without a display (they turn
// the picture into characters on whatever the output is). Chosen on purpose
// (tests do) they run the game as asked; picked by SDL for want of a
// display they would hide it.
constexpr std::array<const char *, 4> HEADLESS_DRIVERS{"dummy", "offscreen", "caca", "aalib"};

struct Window {
    int hasIcon;
    int shown;                                              // the driver shows a window, which fullscreen can change
    std::array<std::uint32_t, ICON_SIZE * ICON_SIZE> icon;  // the icon's surface borrows them
    std::array<std::uint32_t, SCREEN_W * SCREEN_H> kept;    // the picture across a mode change
};

Window window{};

bool Headless() {
    std::array<char, 32> name{};
    if (SDL_VideoDriverName(name.data(), static_cast<int>(name.size())) == nullptr) return true;
    for (const char *driver : HEADLESS_DRIVERS) {
        if (std::strcmp(name.data(), driver) == 0) return true;
    }
    return false;
}

bool Set(const char *variable) {
    const char *value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

// SDL wants the icon before the video mode is set.
void SetIcon() {
    if (window.hasIcon == 0) return;
    SDL_Surface *icon = SDL_CreateRGBSurfaceFrom(window.icon.data(), ICON_SIZE, ICON_SIZE, DEPTH, ICON_SIZE * 4,
                                                 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
    if (icon == nullptr) return;
    SDL_WM_SetIcon(icon, nullptr);
    SDL_FreeSurface(icon);
}

// Copies the picture between a surface and `kept`, row by row.
void Carry(SDL_Surface *s, bool save) {
    const int w = s->w < SCREEN_W ? s->w : SCREEN_W;
    const int h = s->h < SCREEN_H ? s->h : SCREEN_H;
    SDL_LockSurface(s);
    for (int row = 0; row < h; ++row) {
        auto *line = static_cast<std::uint8_t *>(s->pixels) + static_cast<std::size_t>(row) * s->pitch;
        std::uint32_t *kept = window.kept.data() + static_cast<std::size_t>(row) * SCREEN_W;
        if (save) std::memcpy(kept, line, static_cast<std::size_t>(w) * 4);
        else std::memcpy(line, kept, static_cast<std::size_t>(w) * 4);
    }
    SDL_UnlockSurface(s);
}

}  // namespace

void Window_SetIcon(const std::uint32_t *argb) {
    window.hasIcon = argb != nullptr ? 1 : 0;
    if (argb != nullptr) std::memcpy(window.icon.data(), argb, sizeof window.icon);
}

SDL_Surface *Window_Open(int w, int h) {
    window.shown = Headless() ? 0 : 1;
    if (window.shown == 0 && !Set("SDL_VIDEODRIVER")) {
        // A text-art driver has taken the terminal over: give it back.
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    SDL_WM_SetCaption(TITLE, TITLE);
    SetIcon();
    const std::uint32_t mode = Set("ZULTMIRAX_FULLSCREEN") ? SDL_SWSURFACE | SDL_FULLSCREEN : SDL_SWSURFACE;
    return SDL_SetVideoMode(w, h, DEPTH, mode);
}

bool Window_FullscreenKey(int sym, int mod) { return sym == SDLK_F11 || (sym == SDLK_RETURN && (mod & KMOD_ALT) != 0); }

SDL_Surface *Window_ToggleFullscreen(SDL_Surface *screen) {
    if (window.shown == 0 || SDL_WM_ToggleFullScreen(screen) != 0) return screen;
    // Where the layer cannot switch in place the mode is set again, and the
    // picture carried across: the game redraws only what changes.
    const int w = screen->w;
    const int h = screen->h;
    const std::uint32_t fullscreen = screen->flags & SDL_FULLSCREEN;
    Carry(screen, true);
    SDL_Surface *s = SDL_SetVideoMode(w, h, DEPTH, SDL_SWSURFACE | (fullscreen ^ SDL_FULLSCREEN));
    if (s == nullptr) s = SDL_SetVideoMode(w, h, DEPTH, SDL_SWSURFACE | fullscreen);
    if (s == nullptr) return nullptr;
    Carry(s, false);
    SDL_UpdateRect(s, 0, 0, 0, 0);
    return s;
}

void Window_Show(SDL_Surface *screen) { SDL_UpdateRect(screen, 0, 0, 0, 0); }

void Window_StartFailed(const char *) {}  // the line on standard output is seen here
