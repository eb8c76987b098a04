// Display and draw queue: the only way the program puts pixels on the screen.
// Modules queue fills and pictures; a flush or a paced present executes them.
#pragma once
#include <array>
#include <cstdint>

struct SDL_Surface;

// A picture is w*h grey bytes, row-major, no header; it is addressed by its
// first byte and its size travels with every draw call.
using Picture = std::uint8_t;

constexpr int SCREEN_W = 320;
constexpr int SCREEN_H = 240;
constexpr int GFX_SLOTS = 64;     // ring size; at most 63 commands wait
constexpr int GFX_FRAME_MS = 16;  // minimum time between two paced presents

enum GfxResult : int {
    GFX_OK = 0,
    GFX_BAD_CHAR = 1,  // character code outside 0-127
    GFX_DISABLED = 2,  // present while presenting is disabled
    GFX_FULL = 4,      // the ring has no free slot
};

// The font Gfx_QueueChar draws from: 128 entries by character code, each an
// 8x8 glyph or null (a code without a glyph draws a black cell). The game's
// own font is an asset; the program entry hands it over before start-up.
constexpr int GFX_GLYPH_SIZE = 8;
using GfxFont = std::array<const Picture *, 128>;
void Gfx_SetFont(const GfxFont *font);

struct DrawCommand {
    const Picture *picture;  // null: a fill of `grey`
    std::int16_t x;
    std::int16_t y;
    std::int16_t w;
    std::int16_t h;
    std::uint8_t grey;
};

int Gfx_Init();
int Gfx_Shutdown();
int Gfx_ResetQueue();
int Gfx_QueueCount(int *out);
int Gfx_SetPresentEnabled(int flag);
int Gfx_QueueFill(int x, int y, int w, int h, int grey);
int Gfx_QueuePicture(int x, int y, int w, int h, const Picture *picture);
int Gfx_QueueChar(int x, int y, int ch);
int Gfx_QueueText(int x, int y, const char *text);
int Gfx_QueueNumber(int x, int y, int value);
int Gfx_Flush();
int Gfx_Present();
int Gfx_ClearScreen();
// Switches a shown window to fullscreen and back, keeping the picture;
// does nothing on a headless driver. 1 when the mode could not be set.
int Gfx_ToggleFullscreen();

// The clock seam. The game reads SDL_GetTicks and sleeps with SDL_Delay; tests
// and the replay runner pass a virtual clock so paced presents never sleep.
// Null restores SDL's clock.
struct GfxClock {
    std::uint32_t (*ticks)();
    void (*delay)(std::uint32_t ms);
};
void Gfx_SetClock(const GfxClock *clock);

// The show seam: the step that puts the surface's pixels on the screen (SDL's
// whole-screen update) at start-up and after every batch. The replay runner,
// which shows nothing to anybody, passes a step that does nothing; the
// surface's pixels are the same either way. Null restores SDL's update.
using GfxShow = void (*)(SDL_Surface *screen);
void Gfx_SetShow(GfxShow show);

// Observation seam for the replay runner's event log; any member may be null.
// `present` is told each Gfx_Present's result before the queue runs, `flush`
// each flush before the queue runs, `draw` each command as it executes.
struct GfxObserver {
    void (*present)(int result);
    void (*flush)();
    void (*draw)(const DrawCommand &cmd);
};
void Gfx_SetObserver(const GfxObserver *observer);

// The module's state, which tests and tools read through Gfx_View.
struct GfxView {
    SDL_Surface *screen;
    std::uint32_t lastPresentTick;
    int head;
    int tail;
    int count;
    std::array<DrawCommand, GFX_SLOTS> slots;
    int presentEnabled;
};
const GfxView &Gfx_View();
