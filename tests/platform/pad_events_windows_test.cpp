// Windows' pad event variant (platform/windows/pad_events.cpp), built here
// against the harness's real SDL in place of Linux's: its filter, handed
// the hat events that Windows' joystick API makes of a pad's d-pad, turns
// them into the browser mapping's d-pad buttons, which the pad then reads
// in PAD_LAYOUT_BROWSER (what Windows picks) as the cannon's directions.
#include <gtest/gtest.h>

#include <SDL.h>

#include "platform/pad.h"
#include "platform/pad_events.h"
#include "tests/harness/harness.h"

namespace {

class PadEventsWindows : public ::testing::Test {
protected:
    void SetUp() override {
        harness::DrainEvents();
        Pad_SetJoystickOps(nullptr);
        Pad_SetLayout(PAD_LAYOUT_BROWSER);
        Pad_Init();
        Pad_Poll();
        filter = SDL_GetEventFilter();
        ASSERT_NE(filter, nullptr);
    }
    void TearDown() override {
        Pad_Shutdown();
        Pad_SetLayout(-1);
    }

    // As SDL's joystick update hands a hat's change to the filter; true when
    // the filter lets the hat event itself into the queue.
    bool Hat(int pad, int hat, Uint8 value) const {
        SDL_Event e{};
        e.jhat.type = SDL_JOYHATMOTION;
        e.jhat.which = static_cast<Uint8>(pad);
        e.jhat.hat = static_cast<Uint8>(hat);
        e.jhat.value = value;
        return filter(&e) != 0;
    }

    SDL_EventFilter filter = nullptr;
};

TEST_F(PadEventsWindows, TheDpadsHatMovesAsTheBrowserMappingsDpadButtons) {
    struct Case {
        Uint8 hat;
        ButtonMask held;
    };
    const Case cases[] = {{SDL_HAT_LEFT, BTN_LEFT},   {SDL_HAT_LEFTUP, BTN_LEFT | BTN_UP},
                          {SDL_HAT_UP, BTN_UP},       {SDL_HAT_RIGHTDOWN, BTN_RIGHT | BTN_DOWN},
                          {SDL_HAT_RIGHT, BTN_RIGHT}, {SDL_HAT_CENTERED, 0}};
    for (int pad = 0; pad < 2; ++pad) {
        for (const Case &c : cases) {
            EXPECT_FALSE(Hat(pad, 0, c.hat)) << "the hat event itself is dropped";
            Pad_Poll();
            EXPECT_EQ(Pad_Held(pad), c.held) << "pad " << pad << " hat " << int(c.hat);
            EXPECT_EQ(Pad_Held(1 - pad), 0u);
        }
    }
}

TEST_F(PadEventsWindows, OnlyTheFirstHatOfPadsZeroAndOneIsRead) {
    EXPECT_FALSE(Hat(0, 1, SDL_HAT_LEFT));
    EXPECT_FALSE(Hat(2, 0, SDL_HAT_LEFT));
    Pad_Poll();
    EXPECT_EQ(Pad_Held(0), 0u);
    EXPECT_EQ(Pad_Held(1), 0u);
}

TEST_F(PadEventsWindows, TheHatAndTheStickKeepTheirOwnBits) {
    Hat(0, 0, SDL_HAT_LEFT);
    harness::PushAxis(0, 0, 30000);  // the stick pushed right
    Pad_Poll();
    EXPECT_EQ(Pad_Held(0), BTN_LEFT | BTN_RIGHT);
    Hat(0, 0, SDL_HAT_CENTERED);
    Pad_Poll();
    EXPECT_EQ(Pad_Held(0), BTN_RIGHT) << "the d-pad let go, the stick still held";
}

TEST_F(PadEventsWindows, StartingThePadsAgainForgetsTheHat) {
    Hat(0, 0, SDL_HAT_LEFT);
    Pad_Poll();
    ASSERT_EQ(Pad_Held(0), BTN_LEFT);
    Pad_Init();  // the masks and the hat's last value cleared
    Pad_Poll();
    Hat(0, 0, SDL_HAT_CENTERED);
    Pad_Poll();
    EXPECT_EQ(Pad_Held(0), 0u);
    Hat(0, 0, SDL_HAT_LEFT);
    Pad_Poll();
    EXPECT_EQ(Pad_Held(0), BTN_LEFT) << "a press after the restart is seen as one";
}

TEST_F(PadEventsWindows, KeysPassAndQuitsAreNotedOnce) {
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.state = SDL_PRESSED;
    key.key.keysym.sym = SDLK_z;
    EXPECT_NE(filter(&key), 0);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    EXPECT_NE(filter(&quit), 0);
    EXPECT_EQ(PadEvents_TakeQuit(), 1);
    EXPECT_EQ(PadEvents_TakeQuit(), 0);
}

}  // namespace
