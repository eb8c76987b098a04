// Mystery ship: waits, flights and their hum, direction and points by the
// shots fired, the fixed hit band and the hit display.
#include "game/ufo.h"

#include "assets/sounds.h"
#include "tests/game/play_fixture.h"

namespace {

using play::Draw;
using play::Sound;
using play::Sprite;
using play::TakeDraws;
using play::TakeSounds;

class UfoTest : public play::PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        Ufo_Reset();
    }

    static void Run(int updates) {
        for (int i = 0; i < updates; ++i) {
            EXPECT_EQ(Ufo_Update(), 0);
            TakeDraws();
        }
    }

    static void CountShots(int n) {
        for (int i = 0; i < n; ++i) {
            Ufo_CountShot();
        }
    }
};

TEST_F(UfoTest, FirstFlightStartsOnThe240thUpdateGoingRight) {
    const UfoView parked = Ufo_View();
    EXPECT_EQ(parked.ufoX, UFO_PARKED_X);
    EXPECT_EQ(parked.waitTimer, 240);
    Run(239);
    EXPECT_EQ(Ufo_View().flightTimer, 0);
    EXPECT_EQ(Ufo_View().ufoX, UFO_PARKED_X);
    Ufo_Update();
    const UfoView v = Ufo_View();
    EXPECT_EQ(v.ufoDir, 0);
    EXPECT_EQ(v.ufoX, 9);
    EXPECT_EQ(v.ufoY, 16);
    EXPECT_EQ(v.flightTimer, 223);
    // Erased at centre 8, drawn at 9 in the pose of (223 / 4) AND 1.
    EXPECT_EQ(TakeDraws(), (std::vector<Draw>{Sprite(SPR_UFO, 0, 16, 0), Sprite(SPR_UFO, 1, 16, 2)}));
}

TEST_F(UfoTest, FlightLasts224FramesAndHumsEightTimes) {
    Run(239);
    TakeSounds();
    std::vector<int> humFrames;
    for (int frame = 1; frame <= 224; ++frame) {
        const int x = Ufo_View().ufoX;
        const int timer = frame == 1 ? 224 : Ufo_View().flightTimer;
        Ufo_Update();
        const std::vector<Draw> draws = TakeDraws();
        if (!TakeSounds().empty()) {
            humFrames.push_back(timer);
        }
        if (frame == 1) {
            continue;
        }
        if (frame < 224) {
            EXPECT_EQ(Ufo_View().ufoX, x + 1);
            const int pose = 1 + ((Ufo_View().flightTimer / 4) & 1);
            EXPECT_EQ(draws, (std::vector<Draw>{Sprite(SPR_UFO, x - 8, 16, 0), Sprite(SPR_UFO, x - 7, 16, pose)}))
                << "frame " << frame;
        } else {
            EXPECT_EQ(x, 231);  // the last centre drawn
            EXPECT_EQ(draws, (std::vector<Draw>{Sprite(SPR_UFO, 223, 16, 0)}));
        }
    }
    EXPECT_EQ(humFrames, (std::vector<int>{200, 175, 150, 125, 100, 75, 50, 25}));
    const UfoView v = Ufo_View();
    EXPECT_EQ(v.flightTimer, 0);
    EXPECT_EQ(v.ufoX, UFO_PARKED_X);
    EXPECT_EQ(v.waitTimer, 250);
}

TEST_F(UfoTest, HumPlaysOnChannelThree) {
    Run(239 + 24);
    EXPECT_TRUE(TakeSounds().empty());
    Ufo_Update();  // the flight's 25th frame: flightTimer 200 before its decrement
    EXPECT_EQ(TakeSounds(), (std::vector<Sound>{{3, SND_UFO_FLY}}));
}

TEST_F(UfoTest, OddShotCountFliesLeftFrom232) {
    CountShots(1);
    Run(240);
    EXPECT_EQ(Ufo_View().ufoDir, 1);
    EXPECT_EQ(Ufo_View().ufoX, 231);
    Run(222);
    EXPECT_EQ(Ufo_View().ufoX, 9);
    Run(1);
    EXPECT_EQ(Ufo_View().ufoX, UFO_PARKED_X);
    EXPECT_EQ(Ufo_View().waitTimer, 500);
}

TEST_F(UfoTest, PointsAndWaitsFollowTheShotsFired) {
    struct Case {
        int shots;
        int points;
    };
    for (const Case c : {Case{0, 50}, Case{1, 100}, Case{2, 50}, Case{3, 100}, Case{4, 200}, Case{5, 300}, Case{6, 50},
                         Case{11, 300}, Case{17, 300}, Case{23, 300}}) {
        Ufo_Reset();
        CountShots(c.shots);
        EXPECT_EQ(Ufo_Points(), c.points) << c.shots << " shots";
        Run(239 + 224);  // the flight's 224th frame ends it
        EXPECT_EQ(Ufo_View().waitTimer, c.points * 5) << c.shots << " shots";
        // The next flight starts when that wait has run out.
        Run(c.points * 5 - 1);
        EXPECT_EQ(Ufo_View().flightTimer, 0);
        Run(1);
        EXPECT_EQ(Ufo_View().flightTimer, 223);
    }
}

TEST_F(UfoTest, HitBandIsRows16To23AndSixteenColumnsWide) {
    Run(240 + 50);
    const int x = Ufo_View().ufoX;
    ASSERT_EQ(x, 59);
    EXPECT_EQ(Ufo_HitTest(x, 15), 0);
    EXPECT_EQ(Ufo_HitTest(x, 24), 0);
    EXPECT_EQ(Ufo_HitTest(x - 9, 20), 0);
    EXPECT_EQ(Ufo_HitTest(x + 8, 20), 0);
    EXPECT_EQ(Ufo_View().hitTimer, 0);
    EXPECT_TRUE(TakeDraws().empty());

    struct Probe {
        int x;
        int y;
    };
    for (const Probe p : {Probe{x - 8, 16}, Probe{x + 7, 23}, Probe{x, 20}}) {
        Ufo_Reset();
        Run(240 + 50);
        EXPECT_EQ(Ufo_HitTest(p.x, p.y), 1) << p.x << "," << p.y;
    }
}

TEST_F(UfoTest, ParkedShipIsOutOfEveryShotsReach) {
    for (int x = 0; x < 240; ++x) {
        EXPECT_EQ(Ufo_HitTest(x, 20), 0) << x;
    }
}

TEST_F(UfoTest, HitFreezesTheShipForNinetyFrames) {
    Run(240 + 50);
    const int x = Ufo_View().ufoX;
    const int flight = Ufo_View().flightTimer;
    CountShots(3);  // the wait after the hit comes from the count then
    TakeSounds();
    ASSERT_EQ(Ufo_HitTest(x, 20), 1);
    EXPECT_EQ(TakeDraws(), (std::vector<Draw>{Sprite(SPR_UFO, x - 8, 16, 0), Sprite(SPR_UFO, x - 4, 16, 4)}));
    EXPECT_EQ(Ufo_HitTest(x, 20), 0);  // no second hit during the display
    EXPECT_EQ(Ufo_View().hitTimer, 90);

    for (int i = 1; i <= 89; ++i) {
        Ufo_Update();
        EXPECT_TRUE(TakeDraws().empty()) << i;
        EXPECT_EQ(Ufo_View().ufoX, x);
        EXPECT_EQ(Ufo_View().flightTimer, flight);
        EXPECT_EQ(Ufo_HitTest(x, 20), 0);
    }
    EXPECT_TRUE(TakeSounds().empty());
    Ufo_Update();  // the 90th: the explosion is erased and the ship parked
    EXPECT_EQ(TakeDraws(), (std::vector<Draw>{Sprite(SPR_UFO, x - 4, 16, 3)}));
    const UfoView v = Ufo_View();
    EXPECT_EQ(v.hitTimer, 0);
    EXPECT_EQ(v.flightTimer, 0);
    EXPECT_EQ(v.ufoX, UFO_PARKED_X);
    EXPECT_EQ(v.waitTimer, 500);
    Ufo_Update();
    EXPECT_EQ(Ufo_View().waitTimer, 499);
}

TEST_F(UfoTest, ResetEndsAFlightWithoutDrawing) {
    Run(240 + 10);
    Ufo_Reset();
    EXPECT_TRUE(TakeDraws().empty());
    const UfoView v = Ufo_View();
    EXPECT_EQ(v.flightTimer, 0);
    EXPECT_EQ(v.ufoX, UFO_PARKED_X);
    EXPECT_EQ(v.waitTimer, 240);
    EXPECT_EQ(v.shotCount, 0);
    Ufo_Update();
    EXPECT_TRUE(TakeDraws().empty());
}

}  // namespace
