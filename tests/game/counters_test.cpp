// Counts that grow as long as one game lasts: put next to their limits
// through the test seam, they step on in a defined way and keep giving the
// values the game takes from them.
#include <climits>

#include "game/counter.h"
#include "game/fleet.h"
#include "game/game.h"
#include "game/shield.h"
#include "game/shots.h"
#include "game/test_seam.h"
#include "game/ufo.h"
#include "tests/game/play_fixture.h"

namespace {

class Counters : public play::PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        Fleet_Reset(0);
        Shield_Build();
        Ufo_Reset();
        Shots_Reset();
    }
};

TEST_F(Counters, BombCounterWrapsToZeroKeepingTheKindsAlternating) {
    Shots_SetBombCounterForTest(COUNT_WRAP - 1);  // odd: the next bomb is of kind 2
    ASSERT_EQ(Bomb_Drop(100, 50), 0);
    EXPECT_EQ(Shots_View().bombCounter, 0);
    ASSERT_EQ(Bomb_Drop(120, 50), 0);  // even: kind 1, as COUNT_WRAP itself would give
    EXPECT_EQ(Shots_View().bombs[0].state, 2);
    EXPECT_EQ(Shots_View().bombs[1].state, 1);
    EXPECT_EQ(Shots_View().bombCounter, 1);

    Shots_SetBombCounterForTest(COUNT_WRAP - 2);
    Shots_Update();
    EXPECT_EQ(Shots_View().bombCounter, COUNT_WRAP - 1);
    Shots_Update();
    EXPECT_EQ(Shots_View().bombCounter, 0);
    Shots_SetBombCounterForTest(INT_MAX);  // never reached by counting; still defined
    Shots_Update();
    EXPECT_EQ(Shots_View().bombCounter, 0);
}

TEST_F(Counters, ShotCountWrapsWithoutBreakingTheShipsPointsOrDirection) {
    // The points cycle through the table by shots mod 6 across the wrap.
    Ufo_SetShotCountForTest(COUNT_WRAP - 3);
    std::vector<int> points{Ufo_Points()};
    for (int i = 0; i < 5; ++i) {
        Shots_Reset();
        ASSERT_EQ(Shot_Fire(180, 208), 0);
        points.push_back(Ufo_Points());
    }
    EXPECT_EQ(points, (std::vector<int>{UFO_POINTS[3], UFO_POINTS[4], UFO_POINTS[5], UFO_POINTS[0], UFO_POINTS[1],
                                        UFO_POINTS[2]}));
    EXPECT_EQ(Ufo_View().shotCount, 2);
    Ufo_SetShotCountForTest(INT_MAX);
    Shots_Reset();
    ASSERT_EQ(Shot_Fire(180, 208), 0);
    EXPECT_EQ(Ufo_View().shotCount, 0);
}

TEST_F(Counters, ScoreStopsAtItsLargestValue) {
    Game_Start();
    Game_SetScoreForTest(INT_MAX - 5);
    ASSERT_EQ(Shot_Fire(16, 112), 0);  // hits alien 0 (10 points) in the next step
    Game_Step();
    EXPECT_EQ(Game_View().score, INT_MAX);
    // Just below the limit a hit still adds its points exactly.
    Game_SetScoreForTest(INT_MAX - 40);
    Fleet_Reset(0);
    Shots_Reset();
    ASSERT_EQ(Shot_Fire(16, 112), 0);
    Game_Step();
    EXPECT_EQ(Game_View().score, INT_MAX - 30);
}

}  // namespace
