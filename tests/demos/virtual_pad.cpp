// A stand-in game pad for tests, on machines that have none. Preloaded into
// a program (LD_PRELOAD), it attaches one of SDL 2's virtual joysticks before
// the program starts the SDL 1.2 layer, so the layer finds it as it would a
// pad plugged in, and plays a timeline of presses on it from a thread.
//
// SDL 2 gives a virtual pad its own mapping onto the game-controller layout,
// button for button (A 0 ... d-pad 11-14) and axis for axis; it takes no
// other (a mapping added for its GUID is not used), so the pad's raw numbers
// here are the layout's.
//
// ZM_VIRTUAL_PAD names the timeline file: one change a line, "MS button N 0|1"
// or "MS axis N VALUE", MS counted from the program's start.
// Without SDL 2 (classic SDL 1.2) it prints why and does nothing.
#include <dlfcn.h>
#include <pthread.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

constexpr std::uint32_t INIT_JOYSTICK = 0x200;         // SDL 2's SDL_INIT_JOYSTICK
constexpr std::uint32_t INIT_GAMECONTROLLER = 0x2000;  // and SDL_INIT_GAMECONTROLLER
constexpr int TYPE_GAMECONTROLLER = 1;
constexpr int AXES = 6;
constexpr int BUTTONS = 15;
constexpr int HATS = 0;  // the d-pad is buttons 11-14

struct Sdl2 {
    int (*initSubSystem)(std::uint32_t);
    int (*attachVirtual)(int, int, int, int);
    void *(*open)(int);
    int (*setButton)(void *, int, std::uint8_t);
    int (*setAxis)(void *, int, std::int16_t);
};
// Only constant-initialised state: the constructor below may run before a
// C++ object of this file has been built.
Sdl2 sdl{};
void *pad = nullptr;
const char *timelinePath = nullptr;

template <typename F>
bool Find(void *lib, const char *name, F *out) {
    *out = reinterpret_cast<F>(dlsym(lib, name));
    return *out != nullptr;
}

void *Play(void *) {
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    std::string timeline;
    FILE *f = std::fopen(timelinePath, "r");
    if (f == nullptr) {
        std::fprintf(stderr, "virtual pad: cannot read '%s'\n", timelinePath);
        return nullptr;
    }
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) timeline.append(buffer, n);
    std::fclose(f);
    std::size_t pos = 0;
    while (pos < timeline.size()) {
        std::size_t end = timeline.find('\n', pos);
        if (end == std::string::npos) end = timeline.size();
        const std::string line = timeline.substr(pos, end - pos);
        pos = end + 1;
        long ms = 0;
        char kind[16] = {};
        int index = 0;
        int value = 0;
        if (std::sscanf(line.c_str(), "%ld %15s %d %d", &ms, kind, &index, &value) != 4) continue;
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const long elapsed = (now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
        if (ms > elapsed) usleep(static_cast<useconds_t>(ms - elapsed) * 1000);
        if (std::strcmp(kind, "button") == 0) sdl.setButton(pad, index, static_cast<std::uint8_t>(value));
        else if (std::strcmp(kind, "axis") == 0) sdl.setAxis(pad, index, static_cast<std::int16_t>(value));
    }
    return nullptr;
}

__attribute__((constructor)) void Attach() {
    const char *path = std::getenv("ZM_VIRTUAL_PAD");
    // Only in a program on SDL 1.2 (a launcher's shell and its tools pass
    // the preload on too).
    if (path == nullptr || dlsym(RTLD_DEFAULT, "SDL_SetVideoMode") == nullptr) return;
    void *lib = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (lib == nullptr || !Find(lib, "SDL_InitSubSystem", &sdl.initSubSystem) ||
        !Find(lib, "SDL_JoystickAttachVirtual", &sdl.attachVirtual) || !Find(lib, "SDL_JoystickOpen", &sdl.open) ||
        !Find(lib, "SDL_JoystickSetVirtualButton", &sdl.setButton) ||
        !Find(lib, "SDL_JoystickSetVirtualAxis", &sdl.setAxis)) {
        std::fprintf(stderr, "virtual pad: no SDL 2 with virtual joysticks here\n");
        return;
    }
    timelinePath = path;
    if (sdl.initSubSystem(INIT_JOYSTICK | INIT_GAMECONTROLLER) != 0) return;
    const int index = sdl.attachVirtual(TYPE_GAMECONTROLLER, AXES, BUTTONS, HATS);
    if (index < 0) return;
    pad = sdl.open(index);
    if (pad == nullptr) return;
    pthread_t thread;
    if (pthread_create(&thread, nullptr, Play, nullptr) == 0) pthread_detach(thread);
    std::fprintf(stderr, "virtual pad: attached\n");
}

}  // namespace
