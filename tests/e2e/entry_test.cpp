// The entry's passes driven directly on the harness's screen: the quit test
// before every action, the game-over screen's drawing and sounds, and a
// state outside the machine.
#include <gtest/gtest.h>

#include <vector>

#include "assets/sounds.h"
#include "game/entry.h"
#include "game/game.h"
#include "platform/gfx.h"
#include "platform/pad.h"
#include "platform/snd.h"
#include "tests/harness/harness.h"

using harness::Grey;
using harness::Pixel;

namespace {

std::vector<std::pair<int, int>> played;
void RecordSound(int channel, int id, int) { played.emplace_back(channel, id); }

class Entry : public ::testing::Test {
protected:
    void SetUp() override {
        harness::DrainEvents();
        Pad_Poll();  // clears any quit request
        played.clear();
        Snd_SetPlayObserver(RecordSound);
        harness::FillSurface(Grey(90));
    }
    void TearDown() override {
        Snd_SetPlayObserver(nullptr);
        harness::DrainEvents();
        Pad_Poll();
    }
};

TEST_F(Entry, AQuitSeenByAPollStopsBeforeAnyAction) {
    harness::PushKey(SDLK_ESCAPE, true);
    harness::PushKey(SDLK_ESCAPE, false);
    Pad_Poll();
    for (int s = STATE_RESET; s <= STATE_GAME_OVER; ++s) {
        int state = s;
        EXPECT_EQ(Entry_Pass(&state), 0);
        EXPECT_EQ(state, s);
    }
    EXPECT_EQ(Pixel(160, 120), Grey(90));  // nothing was drawn
    EXPECT_TRUE(played.empty());
    // The flag lives until the next poll.
    Pad_Poll();
    int state = STATE_SPLASH_ENTER;
    EXPECT_EQ(Entry_Pass(&state), 1);
    EXPECT_EQ(state, STATE_SPLASH);
    EXPECT_EQ(Entry_View().screenTimer, 180);
}

TEST_F(Entry, GameOverScreenShowsScoresAndSilencesAllButItsSound) {
    Game_SetHiScore(0);
    int state = STATE_GAME_OVER_ENTER;
    ASSERT_EQ(Entry_Pass(&state), 1);
    EXPECT_EQ(state, STATE_GAME_OVER);
    EXPECT_EQ(Entry_View().screenTimer, 300);
    EXPECT_EQ(Gfx_View().presentEnabled, 1);
    int queued = -1;
    Gfx_QueueCount(&queued);
    EXPECT_EQ(queued, 0);
    const std::vector<std::pair<int, int>> expected{{2, SND_GAME_OVER}, {0, SND_STOP}, {1, SND_STOP}, {3, SND_STOP}};
    EXPECT_EQ(played, expected);
    EXPECT_EQ(Pixel(0, 0), Grey(0));  // cleared
    EXPECT_NE(Pixel(124 + 1, 116 + 1), Grey(90));
    // Steps only wait: 300 of them, the last returning to the splash.
    for (int i = 0; i < 299; ++i) {
        ASSERT_EQ(Entry_Pass(&state), 1);
        ASSERT_EQ(state, STATE_GAME_OVER) << i;
    }
    ASSERT_EQ(Entry_Pass(&state), 1);
    EXPECT_EQ(state, STATE_SPLASH_ENTER);
}

TEST_F(Entry, AStateOutsideTheMachineStartsAgainFromReset) {
    for (int bad : {-1, 9, 1000}) {
        int state = bad;
        EXPECT_EQ(Entry_Pass(&state), 1);
        EXPECT_EQ(state, STATE_RESET);
    }
    Game_SetHiScore(55);
    int state = STATE_RESET;
    EXPECT_EQ(Entry_Pass(&state), 1);
    EXPECT_EQ(state, STATE_SPLASH_ENTER);
    EXPECT_EQ(Game_GetHiScore(), 0);
}

}  // namespace
