// Input: SDL's keyboard, joystick and quit events folded into button masks.
// The keyboard always acts as pad 0; two pads are tracked.
#pragma once
#include <array>
#include <cstdint>

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

// Told pad 0's held mask after every poll (the replay runner's event log).
void Pad_SetPollObserver(void (*observer)(ButtonMask held));

// The module's state, which tests and tools read through Pad_View. Every
// field but the last has one entry for each pad.
struct PadView {
    std::array<ButtonMask, PAD_COUNT> buttons;
    std::array<ButtonMask, PAD_COUNT> axes;
    std::array<ButtonMask, PAD_COUNT> prevButtons;
    std::array<ButtonMask, PAD_COUNT> prevAxes;
    std::array<SDL_Joystick *, PAD_COUNT> joystick;
    std::array<int, PAD_COUNT> numAxes;
    std::array<int, PAD_COUNT> numButtons;
    int quitRequested;
};
const PadView &Pad_View();
