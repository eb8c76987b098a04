// Display and draw queue. Commands wait in a 64-slot ring and are executed
// in one batch straight into the surface's pixels at a flush or present.
#include "platform/gfx.h"

#include <SDL.h>

#include <array>
#include <cstdio>

#include "platform/window.h"

namespace {

constexpr std::uint32_t SDL_FLAGS = SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK;
static_assert(SDL_FLAGS == 0x231);
constexpr std::uint8_t START_BLUE = 192;  // the screen is this blue until the first screen is drawn

std::uint32_t SdlTicks() { return SDL_GetTicks(); }
void SdlDelay(std::uint32_t ms) { SDL_Delay(ms); }
constexpr GfxClock SDL_CLOCK{SdlTicks, SdlDelay};

void SdlShow(SDL_Surface *screen) { Window_Show(screen); }

// The display's state is exactly what its view shows; the seams that tests
// and tools replace are kept beside it.
GfxView gfx{nullptr, 0, 0, 0, 0, {}, 0};

struct Seams {
    GfxClock clock;
    GfxShow show;
    GfxObserver observer;
    const GfxFont *font;
};
Seams seams{SDL_CLOCK, SdlShow, {}, nullptr};

constexpr std::uint32_t GreyPixel(std::uint8_t g) { return 0xFF000000u + g * 0x010101u; }

int Enqueue(const Picture *picture, int x, int y, int w, int h, int grey) {
    const int next = (gfx.tail + 1) % GFX_SLOTS;
    if (next == gfx.head) return GFX_FULL;
    // Arguments are stored as they come, truncated to the fields' widths.
    gfx.slots[gfx.tail] = DrawCommand{picture,
                                      static_cast<std::int16_t>(x),
                                      static_cast<std::int16_t>(y),
                                      static_cast<std::int16_t>(w),
                                      static_cast<std::int16_t>(h),
                                      static_cast<std::uint8_t>(grey)};
    gfx.count++;
    gfx.tail = next;
    return GFX_OK;
}

// Draws one command, clipped to the screen: nothing outside the surface is
// ever written, and a partly visible picture keeps its visible part.
void Execute(const DrawCommand &cmd) {
    if (seams.observer.draw) seams.observer.draw(cmd);
    SDL_Surface *s = gfx.screen;
    if (s == nullptr || cmd.w <= 0 || cmd.h <= 0) return;
    const int x0 = cmd.x < 0 ? 0 : cmd.x;
    const int y0 = cmd.y < 0 ? 0 : cmd.y;
    const int x1 = cmd.x + cmd.w > s->w ? s->w : cmd.x + cmd.w;
    const int y1 = cmd.y + cmd.h > s->h ? s->h : cmd.y + cmd.h;
    if (x0 >= x1 || y0 >= y1) return;

    auto *base = static_cast<std::uint8_t *>(s->pixels);
    for (int row = y0; row < y1; ++row) {
        auto *dst = reinterpret_cast<std::uint32_t *>(base + static_cast<std::size_t>(row) * s->pitch);
        if (cmd.picture != nullptr) {
            const Picture *src = cmd.picture + static_cast<std::size_t>(row - cmd.y) * cmd.w;
            for (int col = x0; col < x1; ++col) dst[col] = GreyPixel(src[col - cmd.x]);
        } else {
            const std::uint32_t value = GreyPixel(cmd.grey);
            for (int col = x0; col < x1; ++col) dst[col] = value;
        }
    }
}

// The start colour goes through the pixels like every later draw, in the
// surface's own channel order: a browser's surface is RGBA where the
// desktop's is ARGB, and SDL's fill there paints the canvas, not the pixels.
// The bits outside the colour masks are set, as in a grey pixel.
void FillStartColour(SDL_Surface *s) {
    const SDL_PixelFormat *f = s->format;
    const std::uint32_t colour = SDL_MapRGB(s->format, 0, 0, START_BLUE) | ~(f->Rmask | f->Gmask | f->Bmask);
    if (SDL_LockSurface(s) != 0) return;
    auto *base = static_cast<std::uint8_t *>(s->pixels);
    for (int row = 0; row < s->h; ++row) {
        auto *dst = reinterpret_cast<std::uint32_t *>(base + static_cast<std::size_t>(row) * s->pitch);
        for (int col = 0; col < s->w; ++col) dst[col] = colour;
    }
    SDL_UnlockSurface(s);
}

void RunQueue() {
    // One lock for the whole batch: most commands are small sprites, for
    // which a lock and unlock each would cost more than their pixels.
    const bool locked = gfx.count > 0 && gfx.screen != nullptr && SDL_LockSurface(gfx.screen) == 0;
    while (gfx.count > 0) {
        Execute(gfx.slots[gfx.head]);
        gfx.head = (gfx.head + 1) % GFX_SLOTS;
        gfx.count--;
    }
    if (locked) SDL_UnlockSurface(gfx.screen);
    if (gfx.screen != nullptr) seams.show(gfx.screen);
}

}  // namespace

int Gfx_Init() {
    gfx.presentEnabled = 0;
    // A machine whose SDL cannot start audio at all still gets a game: the
    // second try leaves the audio part out, and the mixer then finds no
    // device and stays silent.
    if (SDL_Init(SDL_FLAGS) != 0 && SDL_Init(SDL_FLAGS & ~SDL_INIT_AUDIO) != 0) {
        std::puts("SDL initialize error.");
        Window_StartFailed(SDL_GetError());
        return 1;
    }
    gfx.screen = Window_Open(SCREEN_W, SCREEN_H);
    if (gfx.screen == nullptr) {
        std::puts("SDL initialize error.");
        Window_StartFailed(SDL_GetError());
        return 1;
    }
    FillStartColour(gfx.screen);
    seams.show(gfx.screen);
    gfx.lastPresentTick = seams.clock.ticks();
    return 0;
}

int Gfx_ToggleFullscreen() {
    if (gfx.screen == nullptr) return 0;
    gfx.screen = Window_ToggleFullscreen(gfx.screen);  // null: later flushes draw nothing
    return gfx.screen == nullptr ? 1 : 0;
}

int Gfx_Shutdown() {
    SDL_FreeSurface(gfx.screen);
    gfx.screen = nullptr;  // later flushes draw nothing rather than into freed memory
    return 0;
}

int Gfx_ResetQueue() {
    gfx.count = 0;
    gfx.tail = 0;
    gfx.head = 0;
    return 0;
}

int Gfx_QueueCount(int *out) {
    *out = gfx.count;
    return 0;
}

int Gfx_SetPresentEnabled(int flag) {
    gfx.presentEnabled = flag;
    return 0;
}

int Gfx_QueueFill(int x, int y, int w, int h, int grey) { return Enqueue(nullptr, x, y, w, h, grey & 0xFF); }

int Gfx_QueuePicture(int x, int y, int w, int h, const Picture *picture) { return Enqueue(picture, x, y, w, h, 0); }

int Gfx_QueueChar(int x, int y, int ch) {
    // The range test comes before the full test.
    if (static_cast<unsigned>(ch) > 127u) return GFX_BAD_CHAR;
    const Picture *glyph = seams.font != nullptr ? (*seams.font)[static_cast<std::size_t>(ch)] : nullptr;
    return Enqueue(glyph, x, y, GFX_GLYPH_SIZE, GFX_GLYPH_SIZE, 0);
}

int Gfx_QueueText(int x, int y, const char *text) {
    if (*text == '\0') return 0;
    int budget = 1000;
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    do {
        Gfx_QueueChar(x, y, *p);  // a refused character still takes its place
        x += 8;
        ++p;
        --budget;
        if (x > 312) {
            y += 8;
            if (y > 232) break;
            x = 0;
        }
    } while (*p != '\0' && budget > 0);
    return 0;
}

int Gfx_QueueNumber(int x, int y, int value) {
    int divisor = 100000;
    for (int i = 0; i < 6; ++i) {
        const int digit = (value / divisor) % 10;
        value %= divisor;
        divisor /= 10;
        Gfx_QueueChar(x, y, '0' + digit);
        x += 8;
    }
    return 0;
}

int Gfx_Flush() {
    if (seams.observer.flush) seams.observer.flush();
    RunQueue();
    return 0;
}

int Gfx_Present() {
    if (gfx.presentEnabled == 0) {
        if (seams.observer.present) seams.observer.present(GFX_DISABLED);
        return GFX_DISABLED;
    }
    const auto elapsed = static_cast<std::int32_t>(seams.clock.ticks() - gfx.lastPresentTick);
    if (elapsed <= GFX_FRAME_MS - 1) seams.clock.delay(static_cast<std::uint32_t>(GFX_FRAME_MS - elapsed));
    // Stamped after the wait: the time spent drawing counts towards the next frame.
    gfx.lastPresentTick = seams.clock.ticks();
    if (seams.observer.present) seams.observer.present(GFX_OK);
    RunQueue();
    return GFX_OK;
}

int Gfx_ClearScreen() {
    Gfx_ResetQueue();
    Gfx_QueueFill(0, 0, SCREEN_W, SCREEN_H, 0);
    if (gfx.presentEnabled != 0) {
        Gfx_Present();
    } else {
        Gfx_Flush();
    }
    return 0;
}

void Gfx_SetFont(const GfxFont *font) { seams.font = font; }

void Gfx_SetClock(const GfxClock *clock) { seams.clock = clock != nullptr ? *clock : SDL_CLOCK; }

void Gfx_SetShow(GfxShow show) { seams.show = show != nullptr ? show : SdlShow; }

void Gfx_SetObserver(const GfxObserver *observer) { seams.observer = observer != nullptr ? *observer : GfxObserver{}; }

const GfxView &Gfx_View() { return gfx; }
