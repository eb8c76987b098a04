// Preloaded into the game (LD_PRELOAD) by the benchmark: times every
// whole-screen update on the monotonic clock and, at exit, writes to the
// file named by ZM_UPDATE_LOG one line: updates, gaps longer than 20 ms
// between two updates, and the longest gap in milliseconds.
#include <SDL.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

using UpdateRect = void (*)(SDL_Surface *, Sint32, Sint32, Uint32, Uint32);

struct Clock {
    UpdateRect real = nullptr;
    long updates = 0;
    long late = 0;  // gaps over 20 ms
    double longest = 0;
    double last = 0;
};

Clock clock_;

double NowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Report {
    ~Report() {
        const char *path = std::getenv("ZM_UPDATE_LOG");
        if (path == nullptr || clock_.updates == 0) return;  // not the program that shows the screen
        FILE *f = std::fopen(path, "w");
        if (f == nullptr) return;
        std::fprintf(f, "%ld %ld %.1f\n", clock_.updates, clock_.late, clock_.longest);
        std::fclose(f);
    }
};

Report report;

}  // namespace

extern "C" void SDL_UpdateRect(SDL_Surface *screen, Sint32 x, Sint32 y, Uint32 w, Uint32 h) {
    if (clock_.real == nullptr) clock_.real = reinterpret_cast<UpdateRect>(dlsym(RTLD_NEXT, "SDL_UpdateRect"));
    const double now = NowMs();
    if (clock_.updates > 0) {
        const double gap = now - clock_.last;
        if (gap > 20.0) clock_.late++;
        if (gap > clock_.longest) clock_.longest = gap;
    }
    clock_.last = now;
    clock_.updates++;
    clock_.real(screen, x, y, w, h);
}
