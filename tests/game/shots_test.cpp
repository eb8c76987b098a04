// The shot and the bombs: flight, hit order, the pause after an alien hit,
// bomb kinds and removal.
#include "game/shots.h"

#include "assets/sounds.h"
#include "game/cannon.h"
#include "game/fleet.h"
#include "game/shield.h"
#include "game/ufo.h"
#include "tests/game/play_fixture.h"

namespace {

using play::Draw;
using play::Sound;
using play::Sprite;
using play::TakeDraws;
using play::TakeSounds;

Draw ShotAt(int x, int y, int frame) { return Sprite(SPR_SHOT, x - 1, y, frame); }

class ShotsTest : public play::PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        Fleet_Reset(0);
        Shield_Build();
        Ufo_Reset();
        Cannon_Reset();
        Shots_Reset();
        TakeDraws();
        TakeSounds();
    }
};

// Column 180 crosses no shield and, with a fresh formation, no alien.
constexpr int CLEAR_COLUMN = 180;

TEST_F(ShotsTest, ShotFliesFromRow204To8AndIsGoneAfter51Updates) {
    ASSERT_EQ(Shot_Fire(CLEAR_COLUMN, 208), 0);
    EXPECT_EQ(TakeSounds(), (std::vector<Sound>{{0, SND_CANNON_SHOT}}));
    EXPECT_EQ(Ufo_View().shotCount, 1);
    EXPECT_EQ(Shot_Fire(CLEAR_COLUMN, 208), 2);  // refused: nothing changes
    EXPECT_EQ(Ufo_View().shotCount, 1);
    EXPECT_TRUE(TakeSounds().empty());
    EXPECT_TRUE(TakeDraws().empty());

    int y = 208;
    for (int update = 1; update <= 50; ++update) {
        EXPECT_EQ(Shots_Update(), 0);
        EXPECT_EQ(TakeDraws(), (std::vector<Draw>{ShotAt(CLEAR_COLUMN, y, 0), ShotAt(CLEAR_COLUMN, y - 4, 1)}))
            << "update " << update;
        y -= 4;
    }
    EXPECT_EQ(Shots_View().shot.y, 8);
    EXPECT_EQ(Shots_View().shot.state, 1);
    Shots_Update();  // moved to row 4: erased and gone
    EXPECT_EQ(TakeDraws(), (std::vector<Draw>{ShotAt(CLEAR_COLUMN, 8, 0)}));
    EXPECT_EQ(Shots_View().shot.state, 0);
    EXPECT_EQ(Shot_Fire(CLEAR_COLUMN, 208), 0);
}

TEST_F(ShotsTest, AlienHitsScoreByKindAndPauseTheShot) {
    // Alien 0 (kind 1) at (16, 104), alien 20 (kind 2) at (16, 80), alien 40
    // (kind 3) at (16, 56); the shot is tested at its top after the move.
    struct Case {
        int startY;
        int points;
    };
    for (const Case c : {Case{112, 10}, Case{88, 20}, Case{64, 30}}) {
        Fleet_Reset(0);
        Shots_Reset();
        ASSERT_EQ(Shot_Fire(16, c.startY), 0);
        TakeSounds();
        EXPECT_EQ(Shots_Update(), c.points);
        EXPECT_EQ(TakeSounds(), (std::vector<Sound>{{1, SND_ALIEN_HIT}}));
        EXPECT_EQ(TakeDraws(), (std::vector<Draw>{ShotAt(16, c.startY, 0)}));
        const ShotsView v = Shots_View();
        EXPECT_EQ(v.shot.state, 0);
        EXPECT_EQ(v.shotPause, 20);
        EXPECT_EQ(Fleet_View().explodeTimer, 20);
    }
}

TEST_F(ShotsTest, ShotFiredDuringThePauseWaitsUndrawnUntilItEnds) {
    ASSERT_EQ(Shot_Fire(16, 112), 0);
    ASSERT_EQ(Shots_Update(), 10);
    TakeSounds();
    TakeDraws();

    // Heard and counted at once ...
    ASSERT_EQ(Shot_Fire(CLEAR_COLUMN, 208), 0);
    EXPECT_EQ(TakeSounds(), (std::vector<Sound>{{0, SND_CANNON_SHOT}}));
    EXPECT_EQ(Ufo_View().shotCount, 2);
    // ... but frozen for 20 updates ...
    for (int i = 0; i < 20; ++i) {
        Shots_Update();
        EXPECT_EQ(Shots_View().shot.y, 208);
    }
    EXPECT_EQ(Shots_View().shotPause, 0);
    EXPECT_TRUE(TakeDraws().empty());
    // ... and first drawn at row 204 in the update after the pause.
    Shots_Update();
    EXPECT_EQ(TakeDraws(), (std::vector<Draw>{ShotAt(CLEAR_COLUMN, 208, 0), ShotAt(CLEAR_COLUMN, 204, 1)}));
}

TEST_F(ShotsTest, ShotBlockedByAShieldIsSpentAndUndrawn) {
    ASSERT_EQ(Shot_Fire(26, 208), 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Shots_Update(), 0);  // rows 204, 200: below the shield
    }
    // Row 196: lower block 24 is destroyed and the shot is spent.
    EXPECT_EQ(Shield_View().blocks[24].alive, 0);
    EXPECT_EQ(Shield_View().blocks[0].alive, 1);
    EXPECT_EQ(Shots_View().shot.state, 0);
    const std::vector<Draw> draws = TakeDraws();
    ASSERT_FALSE(draws.empty());
    EXPECT_EQ(draws.back(), Sprite(SPR_SHIELD, 28, 192, 5));  // the last: a neighbour
    for (const Draw &d : draws) {
        EXPECT_NE(d, ShotAt(26, 196, 1));
    }
    EXPECT_EQ(Shots_View().shotPause, 0);
}

TEST_F(ShotsTest, MysteryShipHitAddsItsPoints) {
    for (int i = 0; i < 240; ++i) {
        Ufo_Update();
    }
    ASSERT_EQ(Ufo_View().ufoX, 9);
    ASSERT_EQ(Shot_Fire(9, 24), 0);  // the first shot: 100 points
    TakeSounds();
    EXPECT_EQ(Shots_Update(), 100);
    EXPECT_EQ(TakeSounds(), (std::vector<Sound>{{3, SND_UFO_HIT}}));
    EXPECT_EQ(Shots_View().shot.state, 0);
    EXPECT_EQ(Shots_View().shotPause, 0);
    EXPECT_EQ(Ufo_View().hitTimer, 90);
}

// The formation marched down until its bottom row stands at row 184, just
// over the shields' upper row; the shields are then rebuilt.
void MarchFleetToTheShields() {
    Fleet_Reset(2);
    while (Fleet_View().aliens.at(0).y < 184) {
        ASSERT_EQ(Fleet_Update(), 0);
        TakeDraws();
    }
    // Finish the down sweep so the whole bottom row stands at 184.
    while (Fleet_View().marchFlags & MARCH_DOWN) {
        ASSERT_EQ(Fleet_Update(), 0);
        TakeDraws();
    }
    Shield_Build();
    Shots_Reset();
    TakeDraws();
    TakeSounds();
}

TEST_F(ShotsTest, ShotErodesTheShieldAndStillHitsTheAlienInTheSameFrame) {
    MarchFleetToTheShields();
    const auto &aliens = Fleet_View().aliens;
    ASSERT_EQ(aliens[0].y, 184);
    // A bottom-row alien standing over a shield block.
    int target = -1;
    for (int c = 0; c < FLEET_COLS && target < 0; ++c) {
        const int x = aliens[c].x;
        for (int s = 0; s < 4; ++s) {
            if (x >= 24 + 56 * s && x < 48 + 56 * s) {
                target = c;
            }
        }
    }
    ASSERT_GE(target, 0);
    const int x = aliens[target].x;

    ASSERT_EQ(Shot_Fire(x, 192), 0);  // tested at row 188
    TakeSounds();
    EXPECT_EQ(Shots_Update(), 10);
    EXPECT_EQ(TakeSounds(), (std::vector<Sound>{{1, SND_ALIEN_HIT}}));
    int standing = 0;
    for (int i = 0; i < 24; ++i) {
        standing += Shield_View().blocks[i].alive;
    }
    EXPECT_EQ(standing, 23);
    EXPECT_EQ(Fleet_View().explodeIndex, target);
    EXPECT_EQ(Shots_View().shotPause, 20);
}

TEST_F(ShotsTest, BombKindsFollowTheCounterAndAThirdBombIsRefused) {
    ASSERT_EQ(Bomb_Drop(100, 50), 0);  // counter 0: kind 1
    Shots_Update();                    // counter 1 -> 2
    ASSERT_EQ(Bomb_Drop(120, 50), 0);  // counter 2 even again: kind 1
    ShotsView v = Shots_View();
    EXPECT_EQ(v.bombs[0].state, 1);
    EXPECT_EQ(v.bombs[1].state, 1);
    EXPECT_EQ(v.bombCounter, 3);

    EXPECT_EQ(Bomb_Drop(140, 60), 2);
    const ShotsView after = Shots_View();
    EXPECT_EQ(after.bombCounter, 3);
    EXPECT_EQ(after.bombs[0].x, 100);
    EXPECT_EQ(after.bombs[1].x, 120);
    EXPECT_EQ(after.bombs[1].y, 50);

    Shots_Reset();
    Shots_Update();  // counter 1: kind 2
    ASSERT_EQ(Bomb_Drop(100, 50), 0);
    EXPECT_EQ(Shots_View().bombs[0].state, 2);
}

TEST_F(ShotsTest, BombsFallThreeRowsAFrameAlternatingTheirPictures) {
    ASSERT_EQ(Bomb_Drop(100, 50), 0);  // kind 1: frames 3, 2, 3, 2
    ASSERT_EQ(Bomb_Drop(120, 40), 0);  // kind 2: frames 5, 4, 5, 4
    TakeDraws();
    for (int step = 1; step <= 4; ++step) {
        Shots_Update();
        const int odd = step & 1;
        EXPECT_EQ(TakeDraws(),
                  (std::vector<Draw>{ShotAt(100, 50 + 3 * (step - 1), 0), ShotAt(100, 50 + 3 * step, 2 + odd),
                                     ShotAt(120, 40 + 3 * (step - 1), 0), ShotAt(120, 40 + 3 * step, 4 + odd)}))
            << "step " << step;
        EXPECT_EQ(Shots_View().bombs[0].anim, step);
    }
}

TEST_F(ShotsTest, BombHitsTheShieldAtTheRowBelowItsPicture) {
    ASSERT_EQ(Bomb_Drop(30, 170), 0);
    Shots_Update();  // 173: tested at 181
    Shots_Update();  // 176: tested at 184, still above the hit rows
    EXPECT_EQ(Shots_View().bombs[0].state, 1);
    Shots_Update();  // 179: tested at 187, upper block 1
    EXPECT_EQ(Shots_View().bombs[0].state, 0);
    EXPECT_EQ(Shield_View().blocks[1].alive, 0);
}

TEST_F(ShotsTest, BombPastTheBottomIsStillTestedAgainstTheCannon) {
    while (Cannon_View().blinkTimer > 0) {
        Cannon_Update();
    }
    const int x = Cannon_View().x;
    ASSERT_EQ(Bomb_Drop(x + 6, 214), 0);
    TakeDraws();
    TakeSounds();
    Shots_Update();  // top 217, past 216: tested at 225, then removed
    EXPECT_EQ(Cannon_View().blastTimer, 90);
    EXPECT_EQ(TakeSounds(), (std::vector<Sound>{{0, SND_CANNON_BLAST}}));
    EXPECT_EQ(Shots_View().bombs[0].state, 0);
    EXPECT_EQ(TakeDraws(), (std::vector<Draw>{ShotAt(x + 6, 214, 0)}));

    // A bomb missing the cannon falls to 216, drawn, and is gone at 219.
    ASSERT_EQ(Bomb_Drop(200, 210), 0);
    Shots_Update();
    EXPECT_EQ(Shots_View().bombs[0].y, 213);
    Shots_Update();
    EXPECT_EQ(Shots_View().bombs[0].state, 1);
    TakeDraws();
    Shots_Update();
    EXPECT_EQ(Shots_View().bombs[0].state, 0);
    EXPECT_EQ(TakeDraws(), (std::vector<Draw>{ShotAt(200, 216, 0)}));
}

}  // namespace
