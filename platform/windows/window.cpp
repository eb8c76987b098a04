// The game's window on Windows. Classic SDL 1.2 there cannot scale, so the
// game draws on a 320x240 surface in memory and each show copies it to the
// window at a whole factor, every pixel a square of pixels: 3x in a window
// (less only on a desktop too small for it), in fullscreen the largest
// factor the desktop holds, centred on black. F11 and Alt+Enter switch.
// On the runner's headless driver the game draws on the video surface
// itself, as everywhere else.
#include "platform/window.h"

#include <SDL.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/gfx.h"
#include "platform/windows/notice.h"

namespace {

constexpr const char *TITLE = "ZULT-MIRAX";
constexpr int ICON_SIZE = WINDOW_ICON_SIZE;
constexpr int DEPTH = 32;
constexpr int WINDOW_SCALE = 3;

struct Window {
    int hasIcon;
    int shown;       // 0 on the headless driver: the game draws on the video surface
    int fullscreen;  // the mode now set
    int desktopW;    // the desktop's size at start-up, for fullscreen and the window's factor
    int desktopH;
    int scale;  // the factor now shown, and the picture's place on the video surface
    int left;
    int top;
    SDL_Surface *video;
    SDL_Surface *picture;                                   // what the game draws on while shown
    std::array<std::uint32_t, ICON_SIZE * ICON_SIZE> icon;  // the icon's surface borrows them
};

Window window{};

bool Set(const char *variable) {
    const char *value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

bool Headless() {
    std::array<char, 32> name{};
    return SDL_VideoDriverName(name.data(), static_cast<int>(name.size())) == nullptr ||
           std::strcmp(name.data(), "dummy") == 0;
}

void SetIcon() {
    if (window.hasIcon == 0) return;
    SDL_Surface *icon = SDL_CreateRGBSurfaceFrom(window.icon.data(), ICON_SIZE, ICON_SIZE, DEPTH, ICON_SIZE * 4,
                                                 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
    if (icon == nullptr) return;
    SDL_WM_SetIcon(icon, nullptr);
    SDL_FreeSurface(icon);
}

// The largest whole factor at which the screen fits w x h, at least 1.
int Fit(int w, int h) {
    const int byW = w / SCREEN_W;
    const int byH = h / SCREEN_H;
    const int f = byW < byH ? byW : byH;
    return f < 1 ? 1 : f;
}

// Sets the video mode for a window or fullscreen, black all over. False
// when SDL cannot; the mode before is then gone too.
bool SetMode(int fullscreen) {
    int w = 0;
    int h = 0;
    if (fullscreen != 0) {
        window.scale = Fit(window.desktopW, window.desktopH);
        w = window.desktopW > 0 ? window.desktopW : SCREEN_W * window.scale;
        h = window.desktopH > 0 ? window.desktopH : SCREEN_H * window.scale;
    } else {
        const int fits = window.desktopW > 0 ? Fit(window.desktopW, window.desktopH - SCREEN_H / 4) : WINDOW_SCALE;
        window.scale = fits < WINDOW_SCALE ? fits : WINDOW_SCALE;
        w = SCREEN_W * window.scale;
        h = SCREEN_H * window.scale;
    }
    SDL_Surface *s = SDL_SetVideoMode(w, h, DEPTH, SDL_SWSURFACE | (fullscreen != 0 ? SDL_FULLSCREEN : 0));
    if (s == nullptr) return false;
    window.video = s;
    window.fullscreen = fullscreen;
    window.left = (s->w - SCREEN_W * window.scale) / 2;
    window.top = (s->h - SCREEN_H * window.scale) / 2;
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 0, 0, 0));
    SDL_ShowCursor(fullscreen != 0 ? SDL_DISABLE : SDL_ENABLE);
    return true;
}

// Every picture pixel becomes a scale x scale square: a row is widened
// once, then copied down.
void Scale(const SDL_Surface *from, SDL_Surface *to) {
    const int f = window.scale;
    auto *base = static_cast<std::uint8_t *>(to->pixels);
    for (int row = 0; row < SCREEN_H; ++row) {
        const auto *src = reinterpret_cast<const std::uint32_t *>(static_cast<const std::uint8_t *>(from->pixels) +
                                                                  static_cast<std::size_t>(row) * from->pitch);
        auto *line = base + static_cast<std::size_t>(window.top + row * f) * to->pitch + window.left * 4;
        auto *dst = reinterpret_cast<std::uint32_t *>(line);
        for (int col = 0; col < SCREEN_W; ++col) {
            for (int i = 0; i < f; ++i) *dst++ = src[col];
        }
        for (int i = 1; i < f; ++i) {
            std::memcpy(line + static_cast<std::size_t>(i) * to->pitch, line,
                        static_cast<std::size_t>(SCREEN_W * f) * 4);
        }
    }
}

}  // namespace

void Window_SetIcon(const std::uint32_t *argb) {
    window.hasIcon = argb != nullptr ? 1 : 0;
    if (argb != nullptr) std::memcpy(window.icon.data(), argb, sizeof window.icon);
}

SDL_Surface *Window_Open(int w, int h) {
    window.shown = Headless() ? 0 : 1;
    if (window.shown == 0) return SDL_SetVideoMode(w, h, DEPTH, SDL_SWSURFACE);
    // Before the first mode is set SDL reports the desktop's.
    const SDL_VideoInfo *info = SDL_GetVideoInfo();
    window.desktopW = info != nullptr ? info->current_w : 0;
    window.desktopH = info != nullptr ? info->current_h : 0;
    // Centred on the desktop, unless the player placed it.
    if (!Set("SDL_VIDEO_WINDOW_POS") && !Set("SDL_VIDEO_CENTERED"))
        SDL_putenv(const_cast<char *>("SDL_VIDEO_CENTERED=1"));
    SDL_WM_SetCaption(TITLE, TITLE);
    SetIcon();
    window.picture = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, DEPTH, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    if (window.picture == nullptr) return nullptr;
    const int fullscreen = Set("ZULTMIRAX_FULLSCREEN") ? 1 : 0;
    if (!SetMode(fullscreen) && !(fullscreen != 0 && SetMode(0))) return nullptr;
    return window.picture;
}

void Window_Show(SDL_Surface *screen) {
    if (window.shown == 0 || screen != window.picture || window.video == nullptr) {
        SDL_UpdateRect(screen, 0, 0, 0, 0);
        return;
    }
    if (SDL_LockSurface(window.video) != 0) return;
    Scale(screen, window.video);
    SDL_UnlockSurface(window.video);
    SDL_UpdateRect(window.video, 0, 0, 0, 0);
}

void Window_StartFailed(const char *why) {
    Notice_Show("ZULT-MIRAX cannot start: SDL could not open the display.", why, true);
}

bool Window_FullscreenKey(int sym, int mod) { return sym == SDLK_F11 || (sym == SDLK_RETURN && (mod & KMOD_ALT) != 0); }

// The picture lives apart from the video surface, so it survives the mode
// change as it is and is shown again at once at the new factor.
SDL_Surface *Window_ToggleFullscreen(SDL_Surface *screen) {
    if (window.shown == 0 || screen != window.picture) return screen;
    const int wanted = window.fullscreen != 0 ? 0 : 1;
    if (!SetMode(wanted) && !SetMode(1 - wanted)) {
        window.video = nullptr;
        return nullptr;
    }
    Window_Show(window.picture);
    return window.picture;
}
