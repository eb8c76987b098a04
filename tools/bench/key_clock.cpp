// Preloaded into the game (LD_PRELOAD) by the benchmark's key-to-screen
// run: writes to the file named by ZM_KEY_LOG, as they happen, a line for
// every key the game takes from SDL's queue and for every whole-screen
// update, on the wall clock (the clock the bench stamps its keys with):
//
//   k SECONDS            a key-down event handed to the game
//   u START END X        an update: when it began and ended, and the
//                        cannon's left edge in the picture (-1: none)
#include <SDL.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

using UpdateRect = void (*)(SDL_Surface *, Sint32, Sint32, Uint32, Uint32);
using PollEvent = int (*)(SDL_Event *);

constexpr int CANNON_ROW = 220;   // through the middle of the cannon's picture
constexpr int FIELD_WIDTH = 240;  // the play field, left of the HUD
constexpr int FLOOR_ROW = 230;    // in the floor band: lit from column 1 to 239, column 0 black

struct Log {
    UpdateRect update = nullptr;
    PollEvent poll = nullptr;
    FILE *file = nullptr;
    bool opened = false;
};

Log log_;

double NowS() {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

FILE *File() {
    if (!log_.opened) {
        log_.opened = true;
        const char *path = std::getenv("ZM_KEY_LOG");
        if (path != nullptr) log_.file = std::fopen(path, "w");
        if (log_.file != nullptr) std::setvbuf(log_.file, nullptr, _IOLBF, 0);
    }
    return log_.file;
}

const Uint32 *Row(const SDL_Surface *screen, int y) {
    return reinterpret_cast<const Uint32 *>(static_cast<const Uint8 *>(screen->pixels) + y * screen->pitch);
}

// The first lit pixel of the cannon's row in the play field, on a screen
// of play (its floor band drawn).
int CannonX(const SDL_Surface *screen) {
    if (screen == nullptr || screen->format->BytesPerPixel != 4 || screen->h <= FLOOR_ROW || screen->w < FIELD_WIDTH) {
        return -1;
    }
    const Uint32 *floor = Row(screen, FLOOR_ROW);
    if ((floor[0] & 0xFFFFFFU) != 0 || (floor[1] & 0xFFFFFFU) == 0 || (floor[FIELD_WIDTH - 1] & 0xFFFFFFU) == 0) {
        return -1;
    }
    const Uint32 *row = Row(screen, CANNON_ROW);
    for (int x = 0; x < FIELD_WIDTH; ++x) {
        if ((row[x] & 0xFFFFFFU) != 0) return x;
    }
    return -1;
}

}  // namespace

extern "C" void SDL_UpdateRect(SDL_Surface *screen, Sint32 x, Sint32 y, Uint32 w, Uint32 h) {
    if (log_.update == nullptr) log_.update = reinterpret_cast<UpdateRect>(dlsym(RTLD_NEXT, "SDL_UpdateRect"));
    const double start = NowS();
    const int cannon = CannonX(screen);
    log_.update(screen, x, y, w, h);
    const double end = NowS();
    if (FILE *f = File()) std::fprintf(f, "u %.6f %.6f %d\n", start, end, cannon);
}

extern "C" int SDL_PollEvent(SDL_Event *event) {
    if (log_.poll == nullptr) log_.poll = reinterpret_cast<PollEvent>(dlsym(RTLD_NEXT, "SDL_PollEvent"));
    const int got = log_.poll(event);
    if (got != 0 && event != nullptr && event->type == SDL_KEYDOWN) {
        if (FILE *f = File()) std::fprintf(f, "k %.6f\n", NowS());
    }
    return got;
}
