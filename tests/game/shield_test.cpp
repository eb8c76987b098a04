// Shields: layout, the hit rows one pixel below the drawn rows, and the
// gnawed frames of a destroyed block's neighbours.
#include "game/shield.h"

#include "tests/game/play_fixture.h"

namespace {

using play::Draw;
using play::Sprite;
using play::TakeDraws;

Draw Block(int index, int frame) {
    const ShieldBlock &b = Shield_View().blocks[index];
    return Sprite(SPR_SHIELD, b.x, b.y, frame);
}

class ShieldTest : public play::PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        Shield_Build();
        TakeDraws();
    }
};

TEST_F(ShieldTest, BuildLaysOutFourShieldsAndDrawsEveryBlockWhole) {
    const auto &t = Shield_View().blocks;
    EXPECT_EQ(t[0].x, 24);
    EXPECT_EQ(t[0].y, 184);
    EXPECT_EQ(t[5].x, 44);
    EXPECT_EQ(t[6].x, 80);
    EXPECT_EQ(t[23].x, 212);
    EXPECT_EQ(t[23].y, 184);
    EXPECT_EQ(t[24].x, 24);
    EXPECT_EQ(t[24].y, 192);
    EXPECT_EQ(t[41].x, 156);
    EXPECT_EQ(t[47].x, 212);
    EXPECT_EQ(t[47].y, 192);

    // Damage is forgotten by the next build, which queues 48 whole blocks.
    ASSERT_EQ(Shield_HitTest(30, 190), 1);
    ASSERT_EQ(Shield_HitTest(150, 196), 1);
    TakeDraws();
    Shield_Build();
    const std::vector<Draw> draws = TakeDraws();
    ASSERT_EQ(draws.size(), 48u);
    for (int i = 0; i < SHIELD_BLOCKS; ++i) {
        EXPECT_EQ(t[i].alive, 1) << i;
        EXPECT_EQ(draws[i], Block(i, 1)) << i;
    }
}

TEST_F(ShieldTest, HitRowsLieOnePixelBelowTheDrawnRows) {
    EXPECT_EQ(Shield_HitTest(24, 184), 0);
    EXPECT_EQ(Shield_HitTest(24, 200), 0);
    EXPECT_TRUE(TakeDraws().empty());

    EXPECT_EQ(Shield_HitTest(24, 185), 1);  // upper row, block 0
    EXPECT_EQ(Shield_View().blocks[0].alive, 0);
    EXPECT_EQ(Shield_HitTest(28, 192), 1);  // still the upper row, block 1
    EXPECT_EQ(Shield_View().blocks[1].alive, 0);
    EXPECT_EQ(Shield_View().blocks[25].alive, 1);
    EXPECT_EQ(Shield_HitTest(32, 193), 1);  // lower row, block 26
    EXPECT_EQ(Shield_View().blocks[26].alive, 0);
    EXPECT_EQ(Shield_View().blocks[2].alive, 1);
    EXPECT_EQ(Shield_HitTest(36, 199), 1);  // lower row, block 27
    EXPECT_EQ(Shield_View().blocks[27].alive, 0);
}

TEST_F(ShieldTest, ColumnsOutsideTheShieldsHitNothing) {
    for (int px : {0, 23, 48, 79, 104, 135, 160, 191, 216, 239}) {
        EXPECT_EQ(Shield_HitTest(px, 188), 0) << px;
        EXPECT_EQ(Shield_HitTest(px, 196), 0) << px;
    }
    EXPECT_TRUE(TakeDraws().empty());
    for (const ShieldBlock &b : Shield_View().blocks) {
        EXPECT_EQ(b.alive, 1);
    }
}

TEST_F(ShieldTest, BlockEdgesAndDestroyedBlocks) {
    EXPECT_EQ(Shield_HitTest(84, 188), 1);  // px = x of block 7
    EXPECT_EQ(Shield_View().blocks[7].alive, 0);
    EXPECT_EQ(Shield_View().blocks[6].alive, 1);
    EXPECT_EQ(Shield_HitTest(88, 188), 1);  // x + 4 is the next block
    EXPECT_EQ(Shield_View().blocks[8].alive, 0);

    // A destroyed block lets the point through; the other row still stands.
    EXPECT_EQ(Shield_HitTest(85, 188), 0);
    EXPECT_EQ(Shield_HitTest(85, 196), 1);
    EXPECT_EQ(Shield_View().blocks[31].alive, 0);
    EXPECT_EQ(Shield_HitTest(85, 196), 0);
}

TEST_F(ShieldTest, CornerBlocksGnawOnlyTheirOwnShield) {
    ASSERT_EQ(Shield_HitTest(24, 188), 1);  // block 0, upper left of shield 0
    EXPECT_EQ(TakeDraws(), (std::vector<Draw>{Block(0, 0), Block(24, 3), Block(1, 5)}));

    ASSERT_EQ(Shield_HitTest(47, 196), 1);  // block 29, lower right of shield 0
    EXPECT_EQ(TakeDraws(), (std::vector<Draw>{Block(29, 0), Block(5, 2), Block(28, 4)}));

    ASSERT_EQ(Shield_HitTest(80, 188), 1);  // block 6: block 5 is another shield's
    EXPECT_EQ(TakeDraws(), (std::vector<Draw>{Block(6, 0), Block(30, 3), Block(7, 5)}));

    ASSERT_EQ(Shield_HitTest(215, 196), 1);  // block 47, the last one
    EXPECT_EQ(TakeDraws(), (std::vector<Draw>{Block(47, 0), Block(23, 2), Block(46, 4)}));
    EXPECT_EQ(Shield_View().blocks[5].alive, 1);
    EXPECT_EQ(Shield_View().blocks[24].alive, 1);
}

TEST_F(ShieldTest, OnlyStandingNeighboursAreRedrawn) {
    ASSERT_EQ(Shield_HitTest(140, 196), 1);  // block 37
    ASSERT_EQ(Shield_HitTest(136, 188), 1);  // block 12
    ASSERT_EQ(Shield_HitTest(144, 188), 1);  // block 14
    TakeDraws();
    // Block 13 has lost all three neighbours: only its own erase is queued.
    ASSERT_EQ(Shield_HitTest(141, 188), 1);
    EXPECT_EQ(TakeDraws(), (std::vector<Draw>{Block(13, 0)}));
}

TEST_F(ShieldTest, EraseIgnoresAnIndexOutsideTheTable) {
    Shield_Erase(-1);
    Shield_Erase(SHIELD_BLOCKS);
    Shield_Erase(1000);
    EXPECT_TRUE(TakeDraws().empty());
    for (const ShieldBlock &b : Shield_View().blocks) {
        EXPECT_EQ(b.alive, 1);
    }
}

}  // namespace
