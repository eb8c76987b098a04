// Input: SDL events drained once a frame by whoever reads the pad, folded
// into held masks for pads 0 and 1 and a quit request.
#include "platform/pad.h"

#include <SDL.h>

#include <array>
#include <span>

#include "platform/gfx.h"
#include "platform/pad_events.h"
#include "platform/window.h"

namespace {

// Joystick button numbers as the handheld's SDL port reports its controls;
// numbers without an entry (1, 3, 5, 7, 16 and up) are ignored.
// clang-format off
constexpr std::array<ButtonMask, 16> JOY_BUTTON_TABLE{
    BTN_UP,    0,          BTN_LEFT, 0,     BTN_DOWN, 0,     BTN_RIGHT, 0,      //  0-7: the stick
    BTN_START, BTN_SELECT, BTN_L,    BTN_R, BTN_A,    BTN_B, BTN_X,     BTN_Y,  //  8-15: the buttons
};

// SDL's game-controller layout: the same numbers whatever the pad. The guide
// button, the stick presses (7, 8) and the numbers from 15 up (paddles, touch
// pad) are ignored; the triggers are axes 4 and 5, which the axis rule skips.
constexpr std::array<ButtonMask, 15> CONTROLLER_BUTTON_TABLE{
    BTN_A, BTN_B, BTN_X, BTN_Y, BTN_SELECT, 0, BTN_START,  //  0-6: A B X Y, Back, Guide, Start
    0,     0,     BTN_L, BTN_R,                            //  7-10: stick presses, shoulders
    BTN_UP, BTN_DOWN, BTN_LEFT, BTN_RIGHT,                 // 11-14: the d-pad
};

// A browser's standard gamepad mapping; its triggers (6, 7), stick presses
// (10, 11) and guide button (16) are ignored.
constexpr std::array<ButtonMask, 17> BROWSER_BUTTON_TABLE{
    BTN_A,      BTN_B,     BTN_X, BTN_Y, BTN_L, BTN_R, 0, 0,  //  0-7: A B X Y, shoulders, triggers
    BTN_SELECT, BTN_START, 0,     0,                          //  8-11: Back, Start, stick presses
    BTN_UP,     BTN_DOWN,  BTN_LEFT, BTN_RIGHT, 0,            // 12-16: the d-pad, Guide
};
// clang-format on

// One table for each PadLayout, in its order.
constexpr std::array<std::span<const ButtonMask>, PAD_LAYOUT_COUNT> BUTTON_TABLES{
    JOY_BUTTON_TABLE, CONTROLLER_BUTTON_TABLE, BROWSER_BUTTON_TABLE};

int SdlNumJoysticks() { return SDL_NumJoysticks(); }
SDL_Joystick *SdlOpen(int index) { return SDL_JoystickOpen(index); }
int SdlNumAxes(SDL_Joystick *j) { return SDL_JoystickNumAxes(j); }
int SdlNumButtons(SDL_Joystick *j) { return SDL_JoystickNumButtons(j); }
void SdlClose(SDL_Joystick *j) { SDL_JoystickClose(j); }
constexpr PadJoystickOps SDL_JOYSTICKS{SdlNumJoysticks, SdlOpen, SdlNumAxes, SdlNumButtons, SdlClose};

// The input state is exactly what its view shows; the seams that tests and
// tools replace are kept beside it, and so is the record that each
// SDL_PollEvent fills.
PadView pad{};

struct Seams {
    PadJoystickOps ops;
    void (*pollObserver)(ButtonMask);
    int layout;  // a PadLayout the runner chose, or -1 for the platform's
};
Seams seams{SDL_JOYSTICKS, nullptr, -1};

bool ValidLayout(int l) { return l >= 0 && l < PAD_LAYOUT_COUNT; }

SDL_Event event{};

void HandleKey(int sym, bool pressed) {
    for (const PadKey &k : PAD_KEYS) {
        if (k.sym != sym) continue;
        if (k.bit == 0) {
            if (pressed) pad.quitRequested = 1;  // release does nothing
        } else if (pressed) {
            pad.buttons[0] |= k.bit;
        } else {
            pad.buttons[0] &= ~k.bit;
        }
        return;
    }
}

void HandleJoyButton(const SDL_JoyButtonEvent &e, bool down) {
    const std::span<const ButtonMask> table = BUTTON_TABLES[pad.layout];
    if (e.which > 1 || e.button >= table.size()) return;
    const ButtonMask bit = table[e.button];
    if (bit == 0) return;
    // Button number and state must pair up: a down event that does not say
    // pressed, or an up event that does not say released, changes nothing.
    if (down && e.state == SDL_PRESSED) pad.buttons[e.which] |= bit;
    if (!down && e.state == SDL_RELEASED) pad.buttons[e.which] &= ~bit;
}

void HandleAxis(const SDL_JoyAxisEvent &e) {
    if (e.which > 1) return;
    ButtonMask &axes = pad.axes[e.which];
    if (e.axis == 0) {
        axes &= ~(BTN_LEFT | BTN_RIGHT);
        if (e.value < -PAD_AXIS_THRESHOLD) axes |= BTN_LEFT;
        else if (e.value > PAD_AXIS_THRESHOLD) axes |= BTN_RIGHT;
    } else if (e.axis == 1) {
        axes &= ~(BTN_UP | BTN_DOWN);
        if (e.value < -PAD_AXIS_THRESHOLD) axes |= BTN_UP;
        else if (e.value > PAD_AXIS_THRESHOLD) axes |= BTN_DOWN;
    }
}

bool ValidPad(int p) { return p == 0 || p == 1; }

}  // namespace

int Pad_Init() {
    PadEvents_Install();
    const int platform = Pad_PlatformLayout();
    pad.layout = ValidLayout(seams.layout) ? seams.layout : ValidLayout(platform) ? platform : PAD_LAYOUT_HANDHELD;
    for (int p = 0; p < PAD_COUNT; ++p) {
        pad.joystick[p] = nullptr;
        pad.numAxes[p] = 0;
        pad.numButtons[p] = 0;
        pad.buttons[p] = 0;
        pad.axes[p] = 0;
    }
    int n = seams.ops.numJoysticks();
    if (n > PAD_COUNT) n = PAD_COUNT;
    for (int i = 0; i < n; ++i) {
        SDL_Joystick *j = seams.ops.open(i);
        pad.joystick[i] = j;
        if (j != nullptr) {
            pad.numAxes[i] = seams.ops.numAxes(j);
            pad.numButtons[i] = seams.ops.numButtons(j);
        }
    }
    return 0;
}

int Pad_Shutdown() {
    PadEvents_Remove();
    for (SDL_Joystick *j : pad.joystick) {
        if (j != nullptr) seams.ops.close(j);
    }
    return 0;
}

void Pad_Poll() {
    pad.quitRequested = 0;
    pad.prevButtons = pad.buttons;
    pad.prevAxes = pad.axes;
    while (SDL_PollEvent(&event)) {
        const SDL_Event &e = event;
        switch (e.type) {
        case SDL_KEYDOWN:
            // Neither F11 nor Return is in the key table: the pads never see them.
            if (Window_FullscreenKey(e.key.keysym.sym, e.key.keysym.mod)) Gfx_ToggleFullscreen();
            HandleKey(e.key.keysym.sym, true);
            break;
        case SDL_KEYUP: HandleKey(e.key.keysym.sym, false); break;
        case SDL_JOYAXISMOTION: HandleAxis(e.jaxis); break;
        case SDL_JOYBUTTONDOWN: HandleJoyButton(e.jbutton, true); break;
        case SDL_JOYBUTTONUP: HandleJoyButton(e.jbutton, false); break;
        case SDL_QUIT: pad.quitRequested = 1; break;
        default: break;  // types kept out of the queue, should one come
        }
    }
    // A quit that found the queue full is seen at this poll, as a queued
    // one would be.
    if (PadEvents_TakeQuit() != 0) pad.quitRequested = 1;
    if (seams.pollObserver) seams.pollObserver(Pad_Held(0));
}

int Pad_QuitRequested() { return pad.quitRequested; }

ButtonMask Pad_Held(int p) {
    if (!ValidPad(p)) return 0;
    return pad.buttons[p] | pad.axes[p];
}

ButtonMask Pad_Pressed(int p) {
    if (!ValidPad(p)) return 0;
    return (pad.buttons[p] & ~pad.prevButtons[p]) | (pad.axes[p] & ~pad.prevAxes[p]);
}

int Pad_Read(ButtonMask *out) {
    Pad_Poll();
    *out = Pad_Held(0);
    return 0;
}

void Pad_SetJoystickOps(const PadJoystickOps *ops) { seams.ops = ops != nullptr ? *ops : SDL_JOYSTICKS; }

void Pad_SetLayout(int layout) { seams.layout = ValidLayout(layout) ? layout : -1; }

void Pad_SetPollObserver(void (*observer)(ButtonMask held)) { seams.pollObserver = observer; }

const PadView &Pad_View() { return pad; }
