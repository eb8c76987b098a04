// Cannon: movement limits, firing on a new press, the arrival blink, the
// blast and its hit zone.
#include "game/cannon.h"

#include "assets/sounds.h"
#include "game/fleet.h"
#include "game/shield.h"
#include "game/shots.h"
#include "game/ufo.h"
#include "tests/game/play_fixture.h"
#include "tests/harness/harness.h"

namespace {

using play::Draw;
using play::Key;
using play::Sound;
using play::Sprite;
using play::TakeDraws;
using play::TakeSounds;

Draw CannonAt(int x, int frame) { return Sprite(SPR_CANNON, x, CANNON_Y, frame); }

class CannonTest : public play::PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        Fleet_Reset(0);
        Shield_Build();
        Shots_Reset();
        Ufo_Reset();
        Cannon_Reset();
        // A button held at the end of an earlier test is not carried over.
        Cannon_Update();
        Cannon_Reset();
        TakeDraws();
        TakeSounds();
    }

    // Runs the arrival blink out, so the cannon can be hit.
    static void MakeReady() {
        while (Cannon_View().blinkTimer > 0) {
            Cannon_Update();
        }
        TakeDraws();
    }

    static void Run(int updates) {
        for (int i = 0; i < updates; ++i) {
            Cannon_Update();
        }
    }

    static int ShotsFired() { return Ufo_View().shotCount; }
};

TEST_F(CannonTest, ArrivalBlinksForSixtyUpdatesStartingHidden) {
    const CannonView v = Cannon_View();
    EXPECT_EQ(v.x, 10);
    EXPECT_EQ(v.blinkTimer, 60);
    EXPECT_EQ(v.blastTimer, 0);
    EXPECT_TRUE(TakeDraws().empty());

    Cannon_Update();  // timer 59: erased, hidden
    EXPECT_EQ(TakeDraws(), (std::vector<Draw>{CannonAt(10, 0)}));
    Cannon_Update();  // timer 58: first shown
    EXPECT_EQ(TakeDraws(), (std::vector<Draw>{CannonAt(10, 0), CannonAt(10, 1)}));

    for (int timer = 57; timer >= 0; --timer) {
        EXPECT_EQ(Cannon_Update(), 0);
        EXPECT_EQ(Cannon_View().blinkTimer, timer);
        std::vector<Draw> expected{CannonAt(10, 0)};
        if (timer % 2 == 0) {
            expected.push_back(CannonAt(10, 1));
        }
        EXPECT_EQ(TakeDraws(), expected) << "timer " << timer;
    }
    // Ready and standing still: nothing is drawn at all.
    Run(5);
    EXPECT_TRUE(TakeDraws().empty());
}

TEST_F(CannonTest, MovesOnePixelAFrameBetweenOneAndTwoHundredTwentySix) {
    MakeReady();
    Key(SDLK_LEFT, true);
    Cannon_Update();
    EXPECT_EQ(Cannon_View().x, 9);
    EXPECT_EQ(TakeDraws(), (std::vector<Draw>{CannonAt(10, 0), CannonAt(9, 1)}));
    Run(20);
    EXPECT_EQ(Cannon_View().x, 1);
    TakeDraws();
    Cannon_Update();  // at the left limit: no move, no drawing
    EXPECT_EQ(Cannon_View().x, 1);
    EXPECT_TRUE(TakeDraws().empty());

    // Both directions: left is applied first, right against the result.
    Key(SDLK_RIGHT, true);
    Cannon_Update();
    EXPECT_EQ(Cannon_View().x, 2);
    Run(3);
    EXPECT_EQ(Cannon_View().x, 2);

    Key(SDLK_LEFT, false);
    Run(300);
    EXPECT_EQ(Cannon_View().x, 226);  // right edge at column 238
    TakeDraws();
    Key(SDLK_LEFT, true);
    Run(3);
    EXPECT_EQ(Cannon_View().x, 226);
    Key(SDLK_LEFT, false);
    Key(SDLK_RIGHT, false);
    Cannon_Update();
}

TEST_F(CannonTest, FiresOncePerPressFromTheBarrelTip) {
    MakeReady();
    Key(SDLK_z, true);
    Cannon_Update();
    EXPECT_EQ(ShotsFired(), 1);
    EXPECT_EQ(Cannon_View().fireHeld, 1);
    const ShotsView s = Shots_View();
    EXPECT_EQ(s.shot.state, 1);
    EXPECT_EQ(s.shot.x, 16);
    EXPECT_EQ(s.shot.y, 208);
    EXPECT_EQ(TakeSounds(), (std::vector<Sound>{{0, SND_CANNON_SHOT}}));

    // Held through the shot's whole flight and beyond: no second shot.
    for (int i = 0; i < 80; ++i) {
        Cannon_Update();
        Shots_Update();
    }
    EXPECT_EQ(Shots_View().shot.state, 0);
    EXPECT_EQ(ShotsFired(), 1);

    Key(SDLK_z, false);
    Cannon_Update();
    EXPECT_EQ(Cannon_View().fireHeld, 0);
    Key(SDLK_SPACE, true);  // the other fire key
    Cannon_Update();
    EXPECT_EQ(ShotsFired(), 2);
    Key(SDLK_SPACE, false);
    Cannon_Update();
}

TEST_F(CannonTest, PressWhileAShotFliesIsUsedUp) {
    MakeReady();
    Key(SDLK_z, true);
    Cannon_Update();
    Key(SDLK_z, false);
    Cannon_Update();
    Shots_Update();
    ASSERT_EQ(Shots_View().shot.state, 1);

    Key(SDLK_z, true);  // refused: the shot is still up
    Cannon_Update();
    EXPECT_EQ(ShotsFired(), 1);
    EXPECT_EQ(Cannon_View().fireHeld, 1);
    while (Shots_View().shot.state == 1) {
        Cannon_Update();
        Shots_Update();
    }
    Cannon_Update();
    EXPECT_EQ(ShotsFired(), 1);

    Key(SDLK_z, false);
    Cannon_Update();
    Key(SDLK_z, true);
    Cannon_Update();
    EXPECT_EQ(ShotsFired(), 2);
    Key(SDLK_z, false);
    Cannon_Update();
}

TEST_F(CannonTest, FireHeldSurvivesAReset) {
    Key(SDLK_z, true);
    Cannon_Update();  // fires at once, even while arriving
    EXPECT_EQ(ShotsFired(), 1);
    Shots_Reset();
    Cannon_Reset();
    EXPECT_EQ(Cannon_View().fireHeld, 1);
    Cannon_Update();  // still held from before: not a new press
    EXPECT_EQ(ShotsFired(), 1);
    Key(SDLK_z, false);
    Cannon_Update();
}

TEST_F(CannonTest, HitZoneIsColumnsXPlusOneToXPlusTwelveFromRow216Down) {
    MakeReady();
    const int x = Cannon_View().x;
    EXPECT_EQ(Cannon_HitTest(x, 216), 0);
    EXPECT_EQ(Cannon_HitTest(x + 13, 216), 0);
    EXPECT_EQ(Cannon_HitTest(x + 6, 215), 0);
    EXPECT_TRUE(TakeSounds().empty());
    EXPECT_EQ(Cannon_View().blastTimer, 0);

    EXPECT_EQ(Cannon_HitTest(x + 12, 216), 1);
    EXPECT_EQ(Cannon_View().blastTimer, 90);
    EXPECT_EQ(TakeSounds(), (std::vector<Sound>{{0, SND_CANNON_BLAST}}));

    Cannon_Reset();
    MakeReady();
    EXPECT_EQ(Cannon_HitTest(x + 1, 400), 1);  // no lower limit
}

TEST_F(CannonTest, NoHitWhileArrivingOrDestroyed) {
    EXPECT_EQ(Cannon_HitTest(16, 220), 0);
    EXPECT_EQ(Cannon_View().blinkTimer, 60);
    MakeReady();
    ASSERT_EQ(Cannon_HitTest(16, 220), 1);
    TakeSounds();
    EXPECT_EQ(Cannon_HitTest(16, 220), 0);
    EXPECT_EQ(Cannon_View().blastTimer, 90);
    EXPECT_TRUE(TakeSounds().empty());
}

TEST_F(CannonTest, BlastShowsWreckFramesForNinetyUpdatesThenArrivesAgain) {
    MakeReady();
    Key(SDLK_RIGHT, true);
    Run(5);
    const int x = Cannon_View().x;
    ASSERT_EQ(Cannon_HitTest(x + 6, 216), 1);
    TakeDraws();

    // Runs of four: 90-88 frame 2, 87-84 frame 3, ... 7-4 frame 3, 3-1 frame 2.
    for (int timer = 90; timer >= 2; --timer) {
        EXPECT_EQ(Cannon_Update(), 0);
        const int frame = (timer & 4) ? 3 : 2;
        EXPECT_EQ(TakeDraws(), (std::vector<Draw>{CannonAt(x, frame)})) << "timer " << timer;
    }
    EXPECT_EQ(Cannon_Update(), 1);
    EXPECT_EQ(TakeDraws(), (std::vector<Draw>{CannonAt(x, 2), CannonAt(x, 0)}));
    const CannonView v = Cannon_View();
    EXPECT_EQ(v.x, x);  // back where it was hit, having not moved
    EXPECT_EQ(v.blastTimer, 0);
    EXPECT_EQ(v.blinkTimer, 60);
    EXPECT_EQ(Cannon_Update(), 0);
    EXPECT_EQ(Cannon_View().x, x + 1);
    Key(SDLK_RIGHT, false);
    Cannon_Update();
}

TEST_F(CannonTest, ButtonsAreNotReadDuringABlast) {
    MakeReady();
    ASSERT_EQ(Cannon_HitTest(16, 216), 1);
    Run(10);
    Key(SDLK_z, true);  // pressed and released wholly within the blast
    Run(2);
    Key(SDLK_z, false);
    Run(78);
    ASSERT_EQ(Cannon_View().blastTimer, 0);
    Cannon_Update();
    EXPECT_EQ(ShotsFired(), 0);

    // Held from before the hit until after it: no shot on return.
    MakeReady();
    Key(SDLK_z, true);
    Cannon_Update();
    ASSERT_EQ(ShotsFired(), 1);
    Shots_Reset();
    ASSERT_EQ(Cannon_HitTest(16, 216), 1);
    Key(SDLK_z, false);
    Run(5);
    Key(SDLK_z, true);
    Run(85);
    EXPECT_EQ(Cannon_View().fireHeld, 1);
    Cannon_Update();
    EXPECT_EQ(ShotsFired(), 1);
    Key(SDLK_z, false);
    Cannon_Update();
}

}  // namespace
