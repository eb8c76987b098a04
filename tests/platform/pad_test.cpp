// Input: real SDL events pushed into SDL's queue and drained by Pad_Poll.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/pad.h"
#include "tests/harness/harness.h"

using harness::PushAxis;
using harness::PushJoyButton;
using harness::PushKey;

namespace {

class Pad : public ::testing::Test {
protected:
    void SetUp() override {
        harness::DrainEvents();
        Pad_SetJoystickOps(nullptr);
        Pad_Init();
        Pad_Poll();  // the previous masks now match the cleared ones
    }
    void TearDown() override {
        Pad_SetJoystickOps(nullptr);
        Pad_SetLayout(-1);
    }

    // Starts the pads afresh in a layout, as the runner does before start-up.
    static void UseLayout(int layout) {
        Pad_SetLayout(layout);
        Pad_Init();
        Pad_Poll();
    }

    // Presses and releases every button number 0-31 on both pads, expecting
    // the bit the table gives (0 for numbers it leaves out).
    static void ExpectButtons(const std::vector<std::pair<int, ButtonMask>> &table) {
        for (int b = 0; b < 32; ++b) {
            ButtonMask want = 0;
            for (const auto &[number, bit] : table) {
                if (number == b) want = bit;
            }
            for (int p = 0; p < 2; ++p) {
                PushJoyButton(p, b, true);
                Pad_Poll();
                EXPECT_EQ(Pad_Held(p), want) << "pad " << p << " button " << b;
                EXPECT_EQ(Pad_Pressed(p), want) << "pad " << p << " button " << b;
                EXPECT_EQ(Pad_Held(1 - p), 0u);
                PushJoyButton(p, b, false);
                Pad_Poll();
                EXPECT_EQ(Pad_Held(p), 0u) << "pad " << p << " button " << b;
            }
        }
    }
};

TEST_F(Pad, PressAndReleaseWithinOnePollLeaveTheBitClear) {
    PushKey(SDLK_z, true);
    PushKey(SDLK_z, false);
    Pad_Poll();
    EXPECT_EQ(Pad_Held(0), 0u);
    EXPECT_EQ(Pad_Pressed(0), 0u);
}

TEST_F(Pad, KeyboardTableDrivesPadZero) {
    const struct {
        int sym;
        ButtonMask bit;
    } keys[] = {{SDLK_UP, BTN_UP},       {SDLK_DOWN, BTN_DOWN}, {SDLK_LEFT, BTN_LEFT},
                {SDLK_RIGHT, BTN_RIGHT}, {SDLK_z, BTN_A},       {SDLK_SPACE, BTN_A},
                {SDLK_x, BTN_B},         {SDLK_c, BTN_X},       {SDLK_v, BTN_Y}};
    for (const auto &k : keys) {
        PushKey(k.sym, true);
        Pad_Poll();
        EXPECT_EQ(Pad_Held(0), k.bit) << k.sym;
        EXPECT_EQ(Pad_Held(1), 0u);
        PushKey(k.sym, false);
        Pad_Poll();
        EXPECT_EQ(Pad_Held(0), 0u) << k.sym;
    }
    PushKey(SDLK_a, true);  // not in the table
    PushKey(SDLK_RETURN, true);
    Pad_Poll();
    EXPECT_EQ(Pad_Held(0), 0u);
    EXPECT_EQ(Pad_QuitRequested(), 0);
}

// The fullscreen keys are handled beside the key table: held buttons stay
// held, nothing is pressed, nothing asks to quit (the test's dummy display
// has no window to switch, so the screen stays as it was).
TEST_F(Pad, FullscreenKeysLeaveThePadsAlone) {
    PushKey(SDLK_LEFT, true);
    Pad_Poll();
    const auto key = [](int sym, SDLMod mod, bool down) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = static_cast<SDLKey>(sym);
        e.key.keysym.mod = mod;
        SDL_PushEvent(&e);
    };
    for (const SDLMod alt : {KMOD_LALT, KMOD_RALT}) {
        key(SDLK_LALT, alt, true);
        key(SDLK_RETURN, alt, true);
        key(SDLK_RETURN, alt, false);
        key(SDLK_LALT, KMOD_NONE, false);
        key(SDLK_F11, KMOD_NONE, true);
        key(SDLK_F11, KMOD_NONE, false);
        Pad_Poll();
        EXPECT_EQ(Pad_Held(0), BTN_LEFT);
        EXPECT_EQ(Pad_Held(1), 0u);
        EXPECT_EQ(Pad_Pressed(0), 0u);
        EXPECT_EQ(Pad_QuitRequested(), 0);
    }
}

TEST_F(Pad, SpaceAndZShareTheFireButton) {
    PushKey(SDLK_SPACE, true);
    PushKey(SDLK_z, true);
    PushKey(SDLK_SPACE, false);
    Pad_Poll();
    EXPECT_EQ(Pad_Held(0), 0u);  // releasing either clears it

    // Joystick button 12 and Z together; letting go of Z clears fire too.
    PushJoyButton(0, 12, true);
    PushKey(SDLK_z, true);
    Pad_Poll();
    EXPECT_EQ(Pad_Held(0), BTN_A);
    PushKey(SDLK_z, false);
    Pad_Poll();
    EXPECT_EQ(Pad_Held(0), 0u);
}

TEST_F(Pad, QuitRequestLivesForOnePoll) {
    PushKey(SDLK_ESCAPE, true);
    Pad_Poll();
    EXPECT_EQ(Pad_QuitRequested(), 1);
    Pad_Poll();
    EXPECT_EQ(Pad_QuitRequested(), 0);

    PushKey(SDLK_q, false);  // a release asks for nothing
    PushKey(SDLK_ESCAPE, false);
    Pad_Poll();
    EXPECT_EQ(Pad_QuitRequested(), 0);

    PushKey(SDLK_q, true);
    Pad_Poll();
    EXPECT_EQ(Pad_QuitRequested(), 1);

    // SDL's quit event, and polling goes on past it.
    harness::PushQuit();
    PushKey(SDLK_LEFT, true);
    Pad_Poll();
    EXPECT_EQ(Pad_QuitRequested(), 1);
    EXPECT_EQ(Pad_Held(0), BTN_LEFT);
    Pad_Poll();
    EXPECT_EQ(Pad_QuitRequested(), 0);
}

TEST_F(Pad, JoystickButtonTable) {
    const ButtonMask table[16] = {BTN_UP,    0,          BTN_LEFT, 0,     BTN_DOWN, 0,     BTN_RIGHT, 0,
                                  BTN_START, BTN_SELECT, BTN_L,    BTN_R, BTN_A,    BTN_B, BTN_X,     BTN_Y};
    for (int b = 0; b < 20; ++b) {
        const ButtonMask want = b < 16 ? table[b] : 0;
        for (int p = 0; p < 2; ++p) {
            PushJoyButton(p, b, true);
            Pad_Poll();
            EXPECT_EQ(Pad_Held(p), want) << "pad " << p << " button " << b;
            EXPECT_EQ(Pad_Held(1 - p), 0u);
            PushJoyButton(p, b, false);
            Pad_Poll();
            EXPECT_EQ(Pad_Held(p), 0u);
        }
    }
}

TEST_F(Pad, TheHandheldNumberingIsTheDefaultEvenWhereThePlatformReportsAnother) {
    setenv("SDL12COMPAT_USE_GAME_CONTROLLERS", "1", 1);
    UseLayout(PAD_LAYOUT_HANDHELD);
    EXPECT_EQ(Pad_View().layout, PAD_LAYOUT_HANDHELD);
    PushJoyButton(0, 12, true);  // the handheld's fire, the controller's d-pad down
    Pad_Poll();
    EXPECT_EQ(Pad_Held(0), BTN_A);
    unsetenv("SDL12COMPAT_USE_GAME_CONTROLLERS");
}

TEST_F(Pad, ControllerLayoutMapsEveryButtonOntoTheLogicalOnes) {
    UseLayout(PAD_LAYOUT_CONTROLLER);
    EXPECT_EQ(Pad_View().layout, PAD_LAYOUT_CONTROLLER);
    // A fires; the shoulders (9, 10) are L and R and never fire; the guide
    // button (5), the stick presses (7, 8) and 15 up do nothing.
    ExpectButtons({{0, BTN_A},
                   {1, BTN_B},
                   {2, BTN_X},
                   {3, BTN_Y},
                   {4, BTN_SELECT},
                   {6, BTN_START},
                   {9, BTN_L},
                   {10, BTN_R},
                   {11, BTN_UP},
                   {12, BTN_DOWN},
                   {13, BTN_LEFT},
                   {14, BTN_RIGHT}});
}

TEST_F(Pad, BrowserLayoutMapsTheStandardGamepadOntoTheLogicalOnes) {
    UseLayout(PAD_LAYOUT_BROWSER);
    // The triggers (6, 7), stick presses (10, 11) and guide (16) do nothing.
    ExpectButtons({{0, BTN_A},
                   {1, BTN_B},
                   {2, BTN_X},
                   {3, BTN_Y},
                   {4, BTN_L},
                   {5, BTN_R},
                   {8, BTN_SELECT},
                   {9, BTN_START},
                   {12, BTN_UP},
                   {13, BTN_DOWN},
                   {14, BTN_LEFT},
                   {15, BTN_RIGHT}});
}

TEST_F(Pad, EveryLayoutReadsTheLeftStickAndIgnoresTheOtherAxes) {
    for (const int layout : {PAD_LAYOUT_CONTROLLER, PAD_LAYOUT_BROWSER}) {
        UseLayout(layout);
        PushAxis(0, 0, -20001);
        PushAxis(0, 1, 32767);
        Pad_Poll();
        EXPECT_EQ(Pad_Held(0), BTN_LEFT | BTN_DOWN) << "layout " << layout;
        for (int axis = 2; axis < 8; ++axis) PushAxis(0, axis, -32768);  // right stick, triggers
        PushAxis(0, 0, 20000);
        Pad_Poll();
        EXPECT_EQ(Pad_Held(0), BTN_DOWN) << "layout " << layout;
        // The d-pad's down and the stick's down are held apart.
        PushJoyButton(0, layout == PAD_LAYOUT_CONTROLLER ? 12 : 13, true);
        PushAxis(0, 1, 0);
        Pad_Poll();
        EXPECT_EQ(Pad_Held(0), BTN_DOWN) << "layout " << layout;
        EXPECT_EQ(Pad_View().axes[0], 0u);
    }
}

TEST_F(Pad, TheLayoutIsTheRunnersChoiceOrElseThePlatformsAtInit) {
    // Where the SDL 1.2 layer over SDL 2 runs, its switch decides, read as a
    // number as the layer reads it; classic SDL always numbers as the device.
    const SDL_version *v = SDL_Linked_Version();
    const bool layer = v->major == 1 && v->minor == 2 && v->patch >= 50;
    const struct {
        const char *value;
        bool on;
    } switches[] = {{nullptr, false}, {"0", false}, {"1", true}, {"2", true}, {"true", false}, {"", false}};
    for (const auto &s : switches) {
        if (s.value != nullptr) setenv("SDL12COMPAT_USE_GAME_CONTROLLERS", s.value, 1);
        else unsetenv("SDL12COMPAT_USE_GAME_CONTROLLERS");
        const PadLayout want = layer && s.on ? PAD_LAYOUT_CONTROLLER : PAD_LAYOUT_HANDHELD;
        EXPECT_EQ(Pad_PlatformLayout(), want) << (s.value ? s.value : "(unset)");
        for (const int notALayout : {-1, static_cast<int>(PAD_LAYOUT_COUNT), 99}) {
            UseLayout(notALayout);
            EXPECT_EQ(Pad_View().layout, want) << (s.value ? s.value : "(unset)");
        }
        UseLayout(PAD_LAYOUT_BROWSER);
        EXPECT_EQ(Pad_View().layout, PAD_LAYOUT_BROWSER);
    }
    unsetenv("SDL12COMPAT_USE_GAME_CONTROLLERS");
    // Decided once: a change of the switch after start-up changes nothing.
    UseLayout(-1);
    setenv("SDL12COMPAT_USE_GAME_CONTROLLERS", "1", 1);
    Pad_Poll();
    EXPECT_EQ(Pad_View().layout, PAD_LAYOUT_HANDHELD);
    unsetenv("SDL12COMPAT_USE_GAME_CONTROLLERS");

    static_assert(Pad_LayoutByName("handheld") == PAD_LAYOUT_HANDHELD);
    static_assert(Pad_LayoutByName("controller") == PAD_LAYOUT_CONTROLLER);
    static_assert(Pad_LayoutByName("browser") == PAD_LAYOUT_BROWSER);
    EXPECT_EQ(Pad_LayoutByName("Controller"), -1);
    EXPECT_EQ(Pad_LayoutByName(""), -1);
}

TEST_F(Pad, ButtonEventsNeedTheirMatchingState) {
    harness::PushJoyButtonState(0, 12, true, SDL_RELEASED);
    Pad_Poll();
    EXPECT_EQ(Pad_Held(0), 0u);
    PushJoyButton(0, 12, true);
    harness::PushJoyButtonState(0, 12, false, SDL_PRESSED);
    Pad_Poll();
    EXPECT_EQ(Pad_Held(0), BTN_A);
}

TEST_F(Pad, DevicesAboveOneAreIgnored) {
    PushJoyButton(2, 12, true);
    PushJoyButton(255, 0, true);
    PushAxis(2, 0, -32768);
    PushAxis(7, 1, 32767);
    Pad_Poll();
    EXPECT_EQ(Pad_Held(0), 0u);
    EXPECT_EQ(Pad_Held(1), 0u);
    EXPECT_EQ(Pad_Held(2), 0u);
}

TEST_F(Pad, AxisThresholdIsStrict) {
    PushAxis(0, 0, -20001);
    Pad_Poll();
    EXPECT_EQ(Pad_Held(0), BTN_LEFT);
    PushAxis(0, 0, -20000);
    Pad_Poll();
    EXPECT_EQ(Pad_Held(0), 0u);
    PushAxis(0, 0, 20001);
    Pad_Poll();
    EXPECT_EQ(Pad_Held(0), BTN_RIGHT);
    PushAxis(0, 0, 20000);
    Pad_Poll();
    EXPECT_EQ(Pad_Held(0), 0u);

    PushAxis(1, 1, -32768);
    Pad_Poll();
    EXPECT_EQ(Pad_Held(1), BTN_UP);
    PushAxis(1, 1, 32767);
    Pad_Poll();
    EXPECT_EQ(Pad_Held(1), BTN_DOWN);
    PushAxis(1, 2, 0);  // other axes change nothing
    PushAxis(1, 5, -32768);
    Pad_Poll();
    EXPECT_EQ(Pad_Held(1), BTN_DOWN);
}

TEST_F(Pad, AxisBitsLiveApartFromButtonBits) {
    PushJoyButton(0, 2, true);  // left button
    PushAxis(0, 0, -30000);     // and left on the stick
    Pad_Poll();
    PushAxis(0, 0, 0);  // the stick centres; the button still holds left
    Pad_Poll();
    EXPECT_EQ(Pad_Held(0), BTN_LEFT);
    EXPECT_EQ(Pad_Pressed(0), 0u);
}

TEST_F(Pad, PressedReportsOnlyTheLastPoll) {
    PushKey(SDLK_SPACE, true);
    PushAxis(0, 1, 25000);
    Pad_Poll();
    EXPECT_EQ(Pad_Pressed(0), BTN_A | BTN_DOWN);
    Pad_Poll();
    EXPECT_EQ(Pad_Pressed(0), 0u);
    EXPECT_EQ(Pad_Held(0), BTN_A | BTN_DOWN);

    ButtonMask read = 0;
    EXPECT_EQ(Pad_Read(&read), 0);
    EXPECT_EQ(read, BTN_A | BTN_DOWN);
    EXPECT_EQ(Pad_Held(2), 0u);
    EXPECT_EQ(Pad_Held(-1), 0u);
    EXPECT_EQ(Pad_Pressed(5), 0u);
    EXPECT_EQ(Pad_Pressed(-1), 0u);
}

TEST_F(Pad, OtherEventTypesAreDropped) {
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = 1;
    SDL_PushEvent(&e);
    e = SDL_Event{};
    e.type = SDL_JOYHATMOTION;
    e.jhat.which = 0;
    e.jhat.value = SDL_HAT_LEFT;
    SDL_PushEvent(&e);
    Pad_Poll();
    EXPECT_EQ(Pad_Held(0), 0u);
    EXPECT_EQ(Pad_QuitRequested(), 0);
}

TEST_F(Pad, PollObserverSeesPadZeroAfterEveryPoll) {
    static std::vector<ButtonMask> seen;
    seen.clear();
    Pad_SetPollObserver([](ButtonMask held) { seen.push_back(held); });
    PushKey(SDLK_RIGHT, true);
    Pad_Poll();
    ButtonMask out = 0;
    Pad_Read(&out);
    Pad_SetPollObserver(nullptr);
    EXPECT_EQ(seen, (std::vector<ButtonMask>{BTN_RIGHT, BTN_RIGHT}));
}

// Fake joysticks: SDL on this machine has none, so the opening rules are
// checked against a stand-in that reports four devices.
struct FakeJoysticks {
    static inline std::vector<int> opened;
    static inline std::vector<int> closed;
    static inline int failIndex = -1;
    static inline SDL_Joystick *handles[4] = {
        reinterpret_cast<SDL_Joystick *>(0x10), reinterpret_cast<SDL_Joystick *>(0x20),
        reinterpret_cast<SDL_Joystick *>(0x30), reinterpret_cast<SDL_Joystick *>(0x40)};
    static int Index(SDL_Joystick *j) {
        for (int i = 0; i < 4; ++i) {
            if (handles[i] == j) return i;
        }
        return -1;
    }
    static constexpr PadJoystickOps OPS{
        [] { return 4; },
        [](int i) -> SDL_Joystick * {
            opened.push_back(i);
            return i == failIndex ? nullptr : handles[i];
        },
        [](SDL_Joystick *j) { return 2 + Index(j); },
        [](SDL_Joystick *j) { return 16 + Index(j); },
        [](SDL_Joystick *j) { closed.push_back(Index(j)); },
    };
};

TEST_F(Pad, OnlyTheFirstTwoJoysticksAreOpened) {
    FakeJoysticks::opened.clear();
    FakeJoysticks::closed.clear();
    FakeJoysticks::failIndex = -1;
    Pad_SetJoystickOps(&FakeJoysticks::OPS);
    Pad_Init();
    EXPECT_EQ(FakeJoysticks::opened, (std::vector<int>{0, 1}));
    const PadView v = Pad_View();
    EXPECT_EQ(v.joystick[0], FakeJoysticks::handles[0]);
    EXPECT_EQ(v.joystick[1], FakeJoysticks::handles[1]);
    EXPECT_EQ(v.numAxes[1], 3);
    EXPECT_EQ(v.numButtons[1], 17);
    Pad_Shutdown();
    EXPECT_EQ(FakeJoysticks::closed, (std::vector<int>{0, 1}));
}

TEST_F(Pad, AJoystickThatFailsToOpenLeavesItsPadEmpty) {
    FakeJoysticks::opened.clear();
    FakeJoysticks::closed.clear();
    FakeJoysticks::failIndex = 0;
    Pad_SetJoystickOps(&FakeJoysticks::OPS);
    Pad_Init();
    const PadView v = Pad_View();
    EXPECT_EQ(v.joystick[0], nullptr);
    EXPECT_EQ(v.numAxes[0], 0);
    EXPECT_EQ(v.numButtons[0], 0);
    EXPECT_EQ(v.joystick[1], FakeJoysticks::handles[1]);
    Pad_Shutdown();
    EXPECT_EQ(FakeJoysticks::closed, (std::vector<int>{1}));
    FakeJoysticks::failIndex = -1;
}

TEST_F(Pad, InitClearsHeldButtons) {
    PushKey(SDLK_UP, true);
    PushJoyButton(1, 13, true);
    Pad_Poll();
    Pad_Init();
    EXPECT_EQ(Pad_Held(0), 0u);
    EXPECT_EQ(Pad_Held(1), 0u);
}

}  // namespace
