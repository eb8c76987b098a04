// Alien fleet: layout, the one-alien-a-frame march, turns and landing, the
// hit test, explosions, bombs and the march notes.
#include "game/fleet.h"

#include "assets/sounds.h"
#include "game/shield.h"
#include "game/shots.h"
#include "tests/game/play_fixture.h"

namespace {

using play::Draw;
using play::Sound;
using play::Sprite;
using play::TakeDraws;
using play::TakeSounds;

const Alien &At(int i) { return Fleet_View().aliens.at(i); }

class FleetTest : public play::PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        Shield_Build();
        Shots_Reset();
        Fleet_Reset(0);
        TakeDraws();
        TakeSounds();
    }

    // Fleet updates with the draw queue emptied after each.
    static int Run(int updates) {
        int landed = 0;
        for (int i = 0; i < updates; ++i) {
            landed |= Fleet_Update();
            TakeDraws();
        }
        return landed;
    }

    // Shoots alien i away: a hit test at its own top centre, then the 20
    // updates of its explosion.
    static void Kill(int i) {
        const Alien a = At(i);
        ASSERT_NE(a.type, 0) << i;
        ASSERT_EQ(Fleet_HitTest(a.x, a.y), a.type + 1) << i;
        ASSERT_EQ(Fleet_View().explodeIndex, i);
        Run(20);
        ASSERT_EQ(At(i).type, 0) << i;
    }
};

TEST_F(FleetTest, LayoutByWave) {
    struct Case {
        int wave;
        int bottom;
    };
    for (const Case c : {Case{0, 104}, Case{1, 136}, Case{2, 168}, Case{3, 168}, Case{9, 168}}) {
        Fleet_Reset(c.wave);
        EXPECT_EQ(Fleet_Count(), 60);
        EXPECT_EQ(Fleet_FrontY(), c.bottom);
        for (int r = 0; r < FLEET_ROWS; ++r) {
            for (int col = 0; col < FLEET_COLS; ++col) {
                const Alien &a = At(r * 10 + col);
                EXPECT_EQ(a.x, 16 + 16 * col);
                EXPECT_EQ(a.y, c.bottom - 12 * r) << "wave " << c.wave << " row " << r;
                EXPECT_EQ(a.type, r / 2 + 1);
            }
        }
        const FleetView v = Fleet_View();
        EXPECT_EQ(v.cursor, 0);
        EXPECT_EQ(v.marchFlags, 0);
        EXPECT_EQ(v.sweepCount, 0);
    }
    EXPECT_TRUE(TakeDraws().empty());  // nothing is drawn until the aliens step
}

TEST_F(FleetTest, FirstSweepBuildsTheFormationUpOneAlienAFrame) {
    Fleet_Update();
    EXPECT_EQ(TakeDraws(), (std::vector<Draw>{Sprite(SPR_ALIEN, 10, 104, 0), Sprite(SPR_ALIEN, 14, 104, 1)}));
    EXPECT_EQ(At(0).x, 20);
    Run(19);
    Fleet_Update();  // alien 20, kind 2
    EXPECT_EQ(TakeDraws(), (std::vector<Draw>{Sprite(SPR_ALIEN, 11, 80, 3), Sprite(SPR_ALIEN, 15, 80, 4)}));
    Run(19);
    Fleet_Update();  // alien 40, kind 3
    EXPECT_EQ(TakeDraws(), (std::vector<Draw>{Sprite(SPR_ALIEN, 12, 56, 6), Sprite(SPR_ALIEN, 16, 56, 7)}));
    Run(18);
    EXPECT_EQ(Fleet_View().sweepCount, 0);
    EXPECT_EQ(Fleet_View().cursor, 59);
    Fleet_Update();  // the 60th step wraps
    TakeDraws();
    EXPECT_EQ(Fleet_View().sweepCount, 1);
    EXPECT_EQ(Fleet_View().cursor, 0);
    Fleet_Update();  // the second sweep shows the other pose
    EXPECT_EQ(TakeDraws(), (std::vector<Draw>{Sprite(SPR_ALIEN, 14, 104, 0), Sprite(SPR_ALIEN, 18, 104, 2)}));
}

TEST_F(FleetTest, TurnsAtTheEdgesAndStepsDownOneSweep) {
    Run(16 * 60);
    EXPECT_EQ(Fleet_View().marchFlags, 0);
    EXPECT_EQ(At(9).x, 224);
    Run(60);  // the 17th sweep brings column 9 to 228
    EXPECT_EQ(At(9).x, 228);
    EXPECT_EQ(Fleet_View().marchFlags, MARCH_DOWN | MARCH_LEFT);

    Run(60);  // every alien steps 8 down, none sideways
    for (int i = 0; i < FLEET_SIZE; ++i) {
        EXPECT_EQ(At(i).x, 16 + 16 * (i % 10) + 68) << i;
        EXPECT_EQ(At(i).y, 104 - 12 * (i / 10) + 8) << i;
    }
    EXPECT_EQ(Fleet_View().marchFlags, MARCH_LEFT);

    Run(17 * 60);
    EXPECT_EQ(At(0).x, 16);
    EXPECT_EQ(Fleet_View().marchFlags, MARCH_LEFT);
    Run(60);  // the leftmost centre reaches 12
    EXPECT_EQ(At(0).x, 12);
    EXPECT_EQ(Fleet_View().marchFlags, MARCH_DOWN);
    Run(60);
    EXPECT_EQ(At(0).y, 120);
    EXPECT_EQ(Fleet_View().marchFlags, 0);
}

TEST_F(FleetTest, FromWaveTwoTheBottomRowLandsOnItsFifthDownStep) {
    Fleet_Reset(2);
    int downSteps = 0;
    int lastY = At(0).y;
    int landed = 0;
    for (int frame = 0; frame < 20000 && !landed; ++frame) {
        landed = Fleet_Update();
        TakeDraws();
        Shots_Reset();  // keeps bomb slots free
        if (At(0).y != lastY) {
            ++downSteps;
            lastY = At(0).y;
        }
    }
    ASSERT_EQ(landed, 1);
    EXPECT_EQ(downSteps, 5);
    EXPECT_EQ(At(0).y, 208);
    EXPECT_EQ(Fleet_View().cursor, 1);  // the rest of the frame's work is done
    // The aliens above are still where they were before that step.
    EXPECT_EQ(At(10).y, 168 - 12 + 32);
}

TEST_F(FleetTest, HitBoxesAtColumn100ByKind) {
    // After one sweep column 5 stands at x 100: alien 5 (kind 1, y 104),
    // alien 25 (kind 2, y 80) and alien 45 (kind 3, y 56).
    struct Case {
        int index;
        int first;
        int last;
    };
    for (const Case c : {Case{5, 94, 105}, Case{25, 95, 104}, Case{45, 96, 103}}) {
        for (int x = c.first - 1; x <= c.last + 1; ++x) {
            Fleet_Reset(0);
            Run(60);
            ASSERT_EQ(At(c.index).x, 100);
            const int y = At(c.index).y;
            const bool inside = x >= c.first && x <= c.last;
            EXPECT_EQ(Fleet_HitTest(x, y), inside ? At(c.index).type + 1 : 0) << "alien " << c.index << " x " << x;
            if (inside) {
                EXPECT_EQ(Fleet_View().explodeIndex, c.index);
                EXPECT_EQ(Fleet_View().explodeTimer, 20);
            } else {
                EXPECT_EQ(Fleet_View().explodeTimer, 0);
            }
        }
    }
}

TEST_F(FleetTest, FrontRowIsHitOnItsTopEightRowsOnly) {
    // Alien 0 at (16, 104) is in the front row; alien 10 at (16, 92) is not.
    EXPECT_EQ(Fleet_HitTest(16, 112), 0);
    EXPECT_EQ(Fleet_HitTest(16, 111), 2);
    EXPECT_EQ(Fleet_View().explodeIndex, 0);
    Fleet_Reset(0);
    EXPECT_EQ(Fleet_HitTest(16, 100), 2);
    EXPECT_EQ(Fleet_View().explodeIndex, 10);
    Fleet_Reset(0);
    EXPECT_EQ(Fleet_HitTest(16, 91), 0);  // above alien 10, below alien 20's box
    EXPECT_EQ(Fleet_View().explodeTimer, 0);

    // With the front row gone the next row becomes the front.
    Fleet_Reset(0);
    for (int i = 0; i < 10; ++i) {
        Kill(i);
    }
    EXPECT_EQ(Fleet_FrontY(), 92);
    EXPECT_EQ(Fleet_HitTest(16, 100), 0);
    EXPECT_EQ(Fleet_HitTest(16, 99), 2);
}

TEST_F(FleetTest, ExplosionFreezesTheMarchForTwentyUpdates) {
    Run(3);
    const FleetView before = Fleet_View();
    ASSERT_EQ(Fleet_HitTest(32, 92), 2);  // alien 11, not yet stepped
    TakeSounds();
    for (int left = 19; left >= 1; --left) {
        EXPECT_EQ(Fleet_Update(), 0);
        EXPECT_EQ(TakeDraws(), (std::vector<Draw>{Sprite(SPR_ALIEN, 26, 92, 0), Sprite(SPR_ALIEN, 28, 92, 10)}));
        EXPECT_EQ(Fleet_View().explodeTimer, left);
        EXPECT_EQ(At(11).type, 1);
    }
    EXPECT_EQ(Fleet_Update(), 0);
    EXPECT_EQ(TakeDraws(), (std::vector<Draw>{Sprite(SPR_ALIEN, 26, 92, 0)}));
    EXPECT_EQ(At(11).type, 0);
    EXPECT_EQ(Fleet_Count(), 59);

    const FleetView after = Fleet_View();
    EXPECT_EQ(after.cursor, before.cursor);
    EXPECT_EQ(after.bombTimer, before.bombTimer);
    EXPECT_EQ(after.noteTimer, before.noteTimer + 20);
    EXPECT_TRUE(TakeSounds().empty());
    EXPECT_EQ(At(3).x, 16 + 48);  // not stepped meanwhile
}

TEST_F(FleetTest, GoneAlienUnderTheCursorTakesNoStep) {
    Fleet_Update();  // alien 0 steps; alien 1 is next
    ASSERT_EQ(Fleet_View().cursor, 1);
    Kill(1);
    TakeDraws();
    const int bombTimer = Fleet_View().bombTimer;
    EXPECT_EQ(Fleet_Update(), 0);
    EXPECT_TRUE(TakeDraws().empty());
    EXPECT_EQ(Fleet_View().cursor, 2);
    EXPECT_EQ(Fleet_View().bombTimer, bombTimer + 1);
    EXPECT_EQ(At(2).x, 48);
}

TEST_F(FleetTest, LoneAlienStepsEveryFrameBombsEvery17AndMarchesEvery25) {
    for (int i = 1; i < FLEET_SIZE; ++i) {
        Kill(i);
    }
    ASSERT_EQ(Fleet_Count(), 1);
    Run(1);  // the alien steps, the advance wraps to itself
    Shots_Reset();
    TakeSounds();

    const FleetView start = Fleet_View();
    int bombsSeen = 0;
    int lastBombFrame = 0;
    std::vector<int> noteFrames;
    for (int frame = 1; frame <= 80; ++frame) {
        const Alien before = At(0);
        Fleet_Update();
        TakeDraws();
        EXPECT_TRUE(At(0).x != before.x || At(0).y != before.y) << frame;
        EXPECT_EQ(Fleet_View().sweepCount, start.sweepCount + frame);
        if (Shots_View().bombs[0].state != 0) {
            EXPECT_EQ(Shots_View().bombs[0].x, At(0).x);
            EXPECT_EQ(Shots_View().bombs[0].y, At(0).y + 8);
            if (bombsSeen > 0) {
                EXPECT_EQ(frame - lastBombFrame, 17);
            }
            ++bombsSeen;
            lastBombFrame = frame;
            Shots_Reset();
        }
        if (Fleet_View().noteTimer == 0) {
            noteFrames.push_back(frame);
        }
    }
    EXPECT_EQ(bombsSeen, 4);
    EXPECT_EQ(noteFrames, (std::vector<int>{25, 50, 75}));
    std::vector<Sound> notes;
    for (const Sound &s : TakeSounds()) {
        if (s.channel == 2) {
            notes.push_back(s);
        }
    }
    EXPECT_EQ(notes.size(), noteFrames.size());
}

TEST_F(FleetTest, EveryFormationStartsItsMarchWithTheFirstNote) {
    Run(30);  // noteTimer well above 24 at the first wrap
    for (int formation = 0; formation < 2; ++formation) {
        Fleet_Reset(formation);
        TakeSounds();
        Run(59);
        EXPECT_TRUE(TakeSounds().empty());
        Run(1);
        EXPECT_EQ(TakeSounds(), (std::vector<Sound>{{2, SND_MARCH_1}}));
        Run(60);
        EXPECT_EQ(TakeSounds(), (std::vector<Sound>{{2, SND_MARCH_2}}));
        EXPECT_EQ(Fleet_View().noteIndex, 2);
    }
}

TEST_F(FleetTest, ResetLeavesTheExplodeIndexAndNoteTimerOfTheLastFormation) {
    Kill(37);  // 20 updates without a note
    Run(7);
    const FleetView old = Fleet_View();
    ASSERT_EQ(old.explodeIndex, 37);
    ASSERT_GE(old.noteTimer, 20);
    ASSERT_EQ(old.explodeTimer, 0);
    Fleet_Reset(1);
    const FleetView v = Fleet_View();
    EXPECT_EQ(v.explodeIndex, 37);
    EXPECT_EQ(v.noteTimer, old.noteTimer);
    // Everything else a formation keeps starts afresh.
    EXPECT_EQ(v.explodeTimer, 0);
    EXPECT_EQ(v.bombTimer, 0);
    EXPECT_EQ(v.notePending, 0);
    EXPECT_EQ(v.noteIndex, 0);
    EXPECT_EQ(At(37).type, 2);  // back in the new formation
    // The new formation counts on from the old note timer up to its first
    // note, and the old index stays until the next hit.
    Run(59);
    EXPECT_EQ(Fleet_View().noteTimer, old.noteTimer + 59);
    EXPECT_EQ(Fleet_View().explodeIndex, 37);
    TakeSounds();
    Run(1);
    EXPECT_EQ(TakeSounds(), (std::vector<Sound>{{2, SND_MARCH_1}}));
    EXPECT_EQ(Fleet_View().noteTimer, 0);
    ASSERT_EQ(Fleet_HitTest(At(4).x, At(4).y), 2);
    EXPECT_EQ(Fleet_View().explodeIndex, 4);
}

TEST_F(FleetTest, BombColumnsFollowTheSweepCount) {
    // The dropping column for sweepCount 0 to 12.
    constexpr int COLUMN[13] = {5, 4, 7, 6, 1, 0, 3, 2, 3, 2, 5, 4, 9};
    int attempts = 0;
    for (int frame = 0; frame < 800; ++frame) {
        Fleet_Update();
        TakeDraws();
        const Missile b = Shots_View().bombs[0];
        if (b.state == 0) {
            continue;
        }
        const int sweep = Fleet_View().sweepCount;
        ASSERT_LT(sweep, 13);
        // The lowest alien of the column drops it from just below itself.
        EXPECT_EQ(b.x, At(COLUMN[sweep]).x) << "sweep " << sweep;
        EXPECT_EQ(b.y, At(COLUMN[sweep]).y + 8);
        ++attempts;
        Shots_Reset();
    }
    EXPECT_EQ(attempts, 10);  // every 76 marching frames
}

TEST_F(FleetTest, EmptyColumnPassesTheBombToTheRight) {
    // Column 4 is emptied and alien 5 (bottom of column 5) shot away; the
    // first attempt, in sweep 1, goes from column 4 to alien 15.
    for (int r = 0; r < FLEET_ROWS; ++r) {
        Kill(4 + 10 * r);
    }
    Kill(5);
    ASSERT_EQ(Fleet_Count(), 53);
    Shots_Reset();
    for (int frame = 1; frame <= 69; ++frame) {
        Fleet_Update();
        TakeDraws();
        EXPECT_EQ(Shots_View().bombs[0].state != 0, frame == 69) << frame;
    }
    EXPECT_EQ(Fleet_View().sweepCount, 1);
    EXPECT_EQ(Shots_View().bombs[0].x, At(15).x);
    EXPECT_EQ(Shots_View().bombs[0].y, At(15).y + 8);

    // With only column 0 left every column passes on, from 9 round to 0.
    Fleet_Reset(0);
    for (int i = 0; i < FLEET_SIZE; ++i) {
        if (i % 10 != 0) {
            Kill(i);
        }
    }
    Shots_Reset();
    int bombs = 0;
    for (int frame = 0; frame < 200; ++frame) {
        Fleet_Update();
        TakeDraws();
        if (Shots_View().bombs[0].state != 0) {
            EXPECT_EQ(Shots_View().bombs[0].x, At(0).x);
            EXPECT_EQ(Shots_View().bombs[0].y, At(0).y + 8);
            ++bombs;
            Shots_Reset();
        }
    }
    EXPECT_EQ(bombs, 200 / 22);
}

TEST_F(FleetTest, EmptiedFleetStopsWithoutTouchingAnythingOutsideTheTable) {
    for (int i = 0; i < FLEET_SIZE; ++i) {
        Kill(i);
    }
    EXPECT_EQ(Fleet_Count(), 0);
    EXPECT_EQ(Fleet_FrontY(), 0);
    const int flags = Fleet_View().marchFlags;
    EXPECT_EQ(Fleet_UpdateDirection(), flags);
    Shots_Reset();
    EXPECT_EQ(Fleet_Update(), 0);  // the advance finds no live alien
    EXPECT_EQ(Fleet_View().cursor, -1);
    EXPECT_EQ(Fleet_View().marchFlags, flags);
    EXPECT_EQ(Fleet_HitTest(16, 100), 0);
    const int noteTimer = Fleet_View().noteTimer;
    EXPECT_EQ(Run(100), 0);
    EXPECT_EQ(Fleet_View().noteTimer, noteTimer + 100);
    EXPECT_EQ(Shots_View().bombs[0].state, 0);
    EXPECT_TRUE(TakeDraws().empty());
}

}  // namespace
