// Input: SDL's keyboard, joystick and quit events folded into button masks.
// The keyboard always acts as pad 0; two pads are tracked.
#pragma once
#include <array>
#include <cstdint>
#include <string_view>

#include <SDL_joystick.h>
#include <SDL_keysym.h>

using ButtonMask = std::uint32_t;

enum : ButtonMask {
    BTN_UP = 0x001,
    BTN_DOWN = 0x002,
    BTN_LEFT = 0x004,
    BTN_RIGHT = 0x008,
    BTN_A = 0x010,  // fire
    BTN_B = 0x020,
    BTN_X = 0x040,
    BTN_Y = 0x080,
    BTN_L = 0x100,
    BTN_R = 0x200,
    BTN_START = 0x400,
    BTN_SELECT = 0x800,
};

// The keyboard's table: the keys the game reads, the bit each sets on pad 0
// (0 for a quit key, seen on its press only), and the name that input
// scripts give the key. Keys not listed are ignored.
struct PadKey {
    SDLKey sym;
    ButtonMask bit;
    const char *name;
};
inline constexpr std::array<PadKey, 11> PAD_KEYS{{
    {SDLK_UP, BTN_UP, "up"},
    {SDLK_DOWN, BTN_DOWN, "down"},
    {SDLK_LEFT, BTN_LEFT, "left"},
    {SDLK_RIGHT, BTN_RIGHT, "right"},
    {SDLK_z, BTN_A, "z"},
    {SDLK_SPACE, BTN_A, "space"},
    {SDLK_x, BTN_B, "x"},
    {SDLK_c, BTN_X, "c"},
    {SDLK_v, BTN_Y, "v"},
    {SDLK_q, 0, "q"},
    {SDLK_ESCAPE, 0, "escape"},
}};

// The numberings a pad's buttons can arrive in. SDL passes on button numbers
// as whoever numbers them does: the handheld's own SDL port, SDL's
// game-controller layout (the same numbers on every pad, where the SDL layer
// offers it), or a browser's standard gamepad mapping. One numbering serves
// every pad, chosen once at start-up; the axes are read alike in all three.
enum PadLayout : int { PAD_LAYOUT_HANDHELD = 0, PAD_LAYOUT_CONTROLLER = 1, PAD_LAYOUT_BROWSER = 2, PAD_LAYOUT_COUNT };
// The names the runner's command line and its scripts give the layouts.
inline constexpr std::array<std::string_view, PAD_LAYOUT_COUNT> PAD_LAYOUT_NAMES{"handheld", "controller", "browser"};

// The layout of a name in PAD_LAYOUT_NAMES; -1 for any other.
constexpr int Pad_LayoutByName(std::string_view name) {
    for (int l = 0; l < PAD_LAYOUT_COUNT; ++l) {
        if (PAD_LAYOUT_NAMES[l] == name) return l;
    }
    return -1;
}

constexpr int PAD_COUNT = 2;
constexpr int PAD_AXIS_THRESHOLD = 20000;  // strict on both sides

int Pad_Init();
int Pad_Shutdown();
void Pad_Poll();
int Pad_QuitRequested();
ButtonMask Pad_Held(int pad);
ButtonMask Pad_Pressed(int pad);
int Pad_Read(ButtonMask *out);

// Joystick seam: SDL's joystick calls by default; tests pass fakes to stand
// for devices this machine does not have. Null restores SDL's.
struct PadJoystickOps {
    int (*numJoysticks)();
    SDL_Joystick *(*open)(int index);
    int (*numAxes)(SDL_Joystick *joy);
    int (*numButtons)(SDL_Joystick *joy);
    void (*close)(SDL_Joystick *joy);
};
void Pad_SetJoystickOps(const PadJoystickOps *ops);

// The numbering this platform's SDL reports, which Pad_Init asks once; each
// platform build supplies it from a variant file of its own.
PadLayout Pad_PlatformLayout();

// Makes the next Pad_Init use this layout instead of the platform's (the
// replay runner, whose scripts say which numbering their buttons use). Any
// value that is not a layout restores the platform's.
void Pad_SetLayout(int layout);

// Told pad 0's held mask after every poll (the replay runner's event log).
void Pad_SetPollObserver(void (*observer)(ButtonMask held));

// The module's state, which tests and tools read through Pad_View. Every
// field but the last two has one entry for each pad.
struct PadView {
    std::array<ButtonMask, PAD_COUNT> buttons;
    std::array<ButtonMask, PAD_COUNT> axes;
    std::array<ButtonMask, PAD_COUNT> prevButtons;
    std::array<ButtonMask, PAD_COUNT> prevAxes;
    std::array<SDL_Joystick *, PAD_COUNT> joystick;
    std::array<int, PAD_COUNT> numAxes;
    std::array<int, PAD_COUNT> numButtons;
    int quitRequested;
    int layout;  // the PadLayout whose table reads the joystick buttons
};
const PadView &Pad_View();
