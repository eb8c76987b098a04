// The game controller's frame of play across a new wave: only the fleet and
// the shields start again; whatever else is under way carries on.
#include <SDL.h>

#include "game/cannon.h"
#include "game/fleet.h"
#include "game/game.h"
#include "game/shield.h"
#include "game/shots.h"
#include "game/ufo.h"
#include "tests/game/play_fixture.h"

namespace {

using play::Key;
using play::TakeDraws;
using play::TakeSounds;

class GameTest : public play::PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        Game_Start();
        TakeDraws();
        TakeSounds();
    }

    static void Step() {
        ASSERT_EQ(Game_Step(), 1);
        TakeDraws();
    }
};

TEST_F(GameTest, NewWaveKeepsTheShotBombsCannonAndShipInFlight) {
    // The cannon walks to x 100 and its arrival blink runs out; the fleet
    // drops a bomb and the mystery ship starts its first flight.
    Key(SDLK_RIGHT, true);
    for (int i = 0; i < 90; ++i) Step();
    Key(SDLK_RIGHT, false);
    while (Ufo_View().flightTimer == 0) Step();

    // Every alien but alien 0 is shot away on the spot: the fleet runs each
    // explosion out by itself, so nothing else moves meanwhile.
    for (int i = 1; i < FLEET_SIZE; ++i) {
        const Alien a = Fleet_View().aliens[static_cast<std::size_t>(i)];
        ASSERT_NE(Fleet_HitTest(a.x, a.y), 0) << i;
        for (int k = 0; k < FLEET_EXPLODE_FRAMES; ++k) Fleet_Update();
    }
    TakeDraws();
    ASSERT_EQ(Fleet_Count(), 1);

    // A shot just under the last alien hits it in the next step, and a press
    // during the pause fires the next shot, which waits at the barrel.
    const Alien last = Fleet_View().aliens[0];
    ASSERT_EQ(Shot_Fire(last.x, last.y + 8), 0);
    Step();
    ASSERT_EQ(Game_View().score, 10);
    Key(SDLK_z, true);
    Step();
    Key(SDLK_z, false);
    ASSERT_EQ(Shots_View().shot.state, 1);
    TakeSounds();

    // The last explosion ends, in the pause's last frames, in this step.
    while (Fleet_View().explodeTimer > 1) Step();
    const CannonView cannon = Cannon_View();
    const ShotsView shots = Shots_View();
    const UfoView ufo = Ufo_View();
    ASSERT_EQ(cannon.x, 100);
    ASSERT_EQ(cannon.blinkTimer, 0);
    ASSERT_EQ(shots.shotPause, 2);
    ASSERT_NE(shots.bombs[0].state, 0) << "no bomb in flight";
    ASSERT_GT(ufo.flightTimer, 1) << "the ship is not in flight";
    Step();
    ASSERT_EQ(Game_View().wave, 1);
    ASSERT_EQ(Fleet_Count(), FLEET_SIZE);
    ASSERT_EQ(Fleet_FrontY(), 136);
    for (const ShieldBlock &b : Shield_View().blocks) EXPECT_EQ(b.alive, 1);

    // No sound marks the new wave.
    EXPECT_TRUE(TakeSounds().empty());
    EXPECT_EQ(Game_View().score, 10);
    EXPECT_EQ(Game_View().lives, 2);
    // The cannon stays where it stood, ready.
    EXPECT_EQ(Cannon_View().x, cannon.x);
    EXPECT_EQ(Cannon_View().blinkTimer, 0);
    EXPECT_EQ(Cannon_View().blastTimer, 0);
    // The shot waits out the rest of its pause, the bomb falls on.
    const ShotsView now = Shots_View();
    EXPECT_EQ(now.shot.state, 1);
    EXPECT_EQ(now.shot.x, shots.shot.x);
    EXPECT_EQ(now.shot.y, 208);
    EXPECT_EQ(now.shotPause, 1);
    EXPECT_EQ(now.bombs[0].state, shots.bombs[0].state);
    EXPECT_EQ(now.bombs[0].x, shots.bombs[0].x);
    EXPECT_EQ(now.bombs[0].y, shots.bombs[0].y + 3);
    EXPECT_EQ(now.bombCounter, shots.bombCounter + 1);
    // The ship flies on one pixel further, its shot count kept.
    EXPECT_EQ(Ufo_View().ufoX, ufo.ufoX + 1);
    EXPECT_EQ(Ufo_View().flightTimer, ufo.flightTimer - 1);
    EXPECT_EQ(Ufo_View().shotCount, ufo.shotCount);

    // The shot leaves the barrel in the first step after the pause.
    Step();
    EXPECT_EQ(Shots_View().shotPause, 0);
    EXPECT_EQ(Shots_View().shot.y, 208);
    Step();
    EXPECT_EQ(Shots_View().shot.y, 204);
}

}  // namespace
