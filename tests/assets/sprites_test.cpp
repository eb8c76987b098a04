// The sprite sets: frame tables, the pictures' rules, and what
// each set function queues.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>

#include "assets/sprites.h"
#include "platform/gfx.h"
#include "tests/harness/harness.h"

namespace {

using SetFn = int (*)(int, int, int);
constexpr SetFn SET_FNS[SPR_SET_COUNT] = {Spr_Cannon, Spr_Shield, Spr_Shot, Spr_Alien, Spr_Ufo};
constexpr int FRAME_COUNTS[SPR_SET_COUNT] = {4, 6, 6, 11, 5};

int Px(const SpriteFrame &f, int x, int y) { return f.picture[y * f.w + x]; }

std::set<int> Greys(const SpriteFrame &f) {
    std::set<int> greys;
    for (int i = 0; i < f.w * f.h; ++i) greys.insert(f.picture[i]);
    return greys;
}

int QueueCount() {
    int n = -1;
    Gfx_QueueCount(&n);
    return n;
}

class Sprites : public ::testing::Test {
protected:
    void SetUp() override { Gfx_ResetQueue(); }
    void TearDown() override { Gfx_ResetQueue(); }
};

TEST_F(Sprites, FrameCountsAndSizes) {
    for (int set = 0; set < SPR_SET_COUNT; ++set) EXPECT_EQ(Spr_FrameCount(set), FRAME_COUNTS[set]) << "set " << set;
    EXPECT_EQ(Spr_FrameCount(-1), 0);
    EXPECT_EQ(Spr_FrameCount(SPR_SET_COUNT), 0);

    struct Size {
        int set, frame, w, h;
        bool erase;
    };
    const Size sizes[] = {
        {SPR_CANNON, 0, 13, 8, true},  {SPR_CANNON, 1, 13, 8, false}, {SPR_CANNON, 2, 13, 8, false},
        {SPR_CANNON, 3, 13, 8, false}, {SPR_SHIELD, 0, 4, 8, true},   {SPR_SHIELD, 1, 4, 8, false},
        {SPR_SHIELD, 2, 4, 8, false},  {SPR_SHIELD, 3, 4, 8, false},  {SPR_SHIELD, 4, 4, 8, false},
        {SPR_SHIELD, 5, 4, 8, false},  {SPR_SHOT, 0, 3, 8, true},     {SPR_SHOT, 1, 3, 8, false},
        {SPR_SHOT, 2, 3, 8, false},    {SPR_SHOT, 3, 3, 8, false},    {SPR_SHOT, 4, 3, 8, false},
        {SPR_SHOT, 5, 3, 8, false},    {SPR_ALIEN, 0, 12, 8, true},   {SPR_ALIEN, 1, 12, 8, false},
        {SPR_ALIEN, 2, 12, 8, false},  {SPR_ALIEN, 3, 10, 8, true},   {SPR_ALIEN, 4, 10, 8, false},
        {SPR_ALIEN, 5, 10, 8, false},  {SPR_ALIEN, 6, 8, 8, true},    {SPR_ALIEN, 7, 8, 8, false},
        {SPR_ALIEN, 8, 8, 8, false},   {SPR_ALIEN, 9, 8, 8, true},    {SPR_ALIEN, 10, 8, 8, false},
        {SPR_UFO, 0, 16, 8, true},     {SPR_UFO, 1, 16, 8, false},    {SPR_UFO, 2, 16, 8, false},
        {SPR_UFO, 3, 8, 8, true},      {SPR_UFO, 4, 8, 8, false},
    };
    for (const Size &s : sizes) {
        const SpriteFrame f = Spr_Frame(s.set, s.frame);
        EXPECT_EQ(f.w, s.w) << "set " << s.set << " frame " << s.frame;
        EXPECT_EQ(f.h, s.h) << "set " << s.set << " frame " << s.frame;
        EXPECT_EQ(f.picture == nullptr, s.erase) << "set " << s.set << " frame " << s.frame;
    }
}

TEST_F(Sprites, OutsideTheTableIsEmpty) {
    for (int set = 0; set < SPR_SET_COUNT; ++set) {
        for (int frame : {-1, FRAME_COUNTS[set], 1000}) {
            const SpriteFrame f = Spr_Frame(set, frame);
            EXPECT_EQ(f.w, 0);
            EXPECT_EQ(f.h, 0);
            EXPECT_EQ(f.picture, nullptr);
        }
    }
    EXPECT_EQ(Spr_Frame(-1, 0).picture, nullptr);
    EXPECT_EQ(Spr_Frame(SPR_SET_COUNT, 0).w, 0);
}

TEST_F(Sprites, EraseFramesMatchTheirPicturesSizes) {
    // {set, erase frame, picture frames it erases}
    struct Pair {
        int set, erase, first, last;
    };
    for (const Pair &p : {Pair{SPR_CANNON, 0, 1, 3}, Pair{SPR_SHIELD, 0, 1, 5}, Pair{SPR_SHOT, 0, 1, 5},
                          Pair{SPR_ALIEN, 0, 1, 2}, Pair{SPR_ALIEN, 3, 4, 5}, Pair{SPR_ALIEN, 6, 7, 8},
                          Pair{SPR_ALIEN, 9, 10, 10}, Pair{SPR_UFO, 0, 1, 2}, Pair{SPR_UFO, 3, 4, 4}}) {
        const SpriteFrame e = Spr_Frame(p.set, p.erase);
        for (int frame = p.first; frame <= p.last; ++frame) {
            const SpriteFrame f = Spr_Frame(p.set, frame);
            EXPECT_EQ(e.w, f.w) << "set " << p.set << " frame " << frame;
            EXPECT_EQ(e.h, f.h) << "set " << p.set << " frame " << frame;
        }
    }
}

TEST_F(Sprites, GreyLevels) {
    for (int set = 0; set < SPR_SET_COUNT; ++set) {
        for (int frame = 0; frame < Spr_FrameCount(set); ++frame) {
            const SpriteFrame f = Spr_Frame(set, frame);
            if (f.picture == nullptr) continue;
            const std::set<int> greys = Greys(f);
            const bool blast = set == SPR_CANNON && (frame == 2 || frame == 3);
            if (blast) EXPECT_EQ(greys, (std::set<int>{0, 128, 255})) << "cannon blast frame " << frame;
            else
                EXPECT_TRUE(greys == (std::set<int>{0, 255}) || greys == std::set<int>{255})
                    << "set " << set << " frame " << frame;
        }
    }
}

TEST_F(Sprites, CannonBlastKeepsTheBaseRow) {
    const SpriteFrame cannon = Spr_Frame(SPR_CANNON, 1);
    for (int frame : {2, 3}) {
        const SpriteFrame f = Spr_Frame(SPR_CANNON, frame);
        for (int x = 0; x < 13; ++x) EXPECT_EQ(Px(f, x, 7), Px(cannon, x, 7)) << "frame " << frame << " column " << x;
    }
    EXPECT_NE(std::memcmp(Spr_Frame(SPR_CANNON, 2).picture, Spr_Frame(SPR_CANNON, 3).picture, 13 * 8), 0);
}

TEST_F(Sprites, WholeShieldBlockIsSolidWhite) { EXPECT_EQ(Greys(Spr_Frame(SPR_SHIELD, 1)), std::set<int>{255}); }

// A gnawed block has 5 to 7 black pixels, all within two pixels of the edge
// that faced the lost neighbour, and at least one on that edge itself.
TEST_F(Sprites, GnawedShieldBlocksAreRaggedOnTheRightEdge) {
    struct Edge {
        int frame;
        const char *name;
        std::function<int(int, int)> distance;  // from the gnawed edge, in pixels
    };
    const Edge edges[] = {
        {2, "bottom", [](int, int y) { return 7 - y; }},
        {3, "top", [](int, int y) { return y; }},
        {4, "right", [](int x, int) { return 3 - x; }},
        {5, "left", [](int x, int) { return x; }},
    };
    for (const Edge &e : edges) {
        const SpriteFrame f = Spr_Frame(SPR_SHIELD, e.frame);
        int black = 0;
        int onEdge = 0;
        int farthest = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 4; ++x) {
                if (Px(f, x, y) != 0) continue;
                ++black;
                const int d = e.distance(x, y);
                if (d == 0) ++onEdge;
                if (d > farthest) farthest = d;
            }
        EXPECT_GE(black, 5) << e.name;
        EXPECT_LE(black, 7) << e.name;
        EXPECT_GT(onEdge, 0) << e.name;
        EXPECT_LE(farthest, 2) << e.name;
    }
}

TEST_F(Sprites, ShotFramesTwoAndThreeEqualFourAndFiveMirrored) {
    const SpriteFrame f2 = Spr_Frame(SPR_SHOT, 2), f3 = Spr_Frame(SPR_SHOT, 3);
    const SpriteFrame f4 = Spr_Frame(SPR_SHOT, 4), f5 = Spr_Frame(SPR_SHOT, 5);
    EXPECT_EQ(std::memcmp(f2.picture, f3.picture, 3 * 8), 0);
    EXPECT_NE(std::memcmp(f4.picture, f5.picture, 3 * 8), 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(Px(f4, x, y), Px(f5, 2 - x, y)) << x << "," << y;
    // The shot: a one-pixel tip, then a head three wide.
    const SpriteFrame shot = Spr_Frame(SPR_SHOT, 1);
    EXPECT_EQ(Px(shot, 0, 0), 0);
    EXPECT_EQ(Px(shot, 1, 0), 255);
    EXPECT_EQ(Px(shot, 2, 0), 0);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(Px(shot, x, 1), 255);
}

TEST_F(Sprites, ExplosionIsSharedAndARingOfSixteen) {
    const SpriteFrame a = Spr_Frame(SPR_ALIEN, 10), u = Spr_Frame(SPR_UFO, 4);
    EXPECT_EQ(a.picture, u.picture);
    int white = 0;
    for (int i = 0; i < 64; ++i) white += a.picture[i] == 255;
    EXPECT_EQ(white, 16);
    // A ring: the middle 2x2 is empty.
    for (int y = 3; y <= 4; ++y)
        for (int x = 3; x <= 4; ++x) EXPECT_EQ(Px(a, x, y), 0);
}

TEST_F(Sprites, PosesAreDistinct) {
    for (auto [set, a, b] : {std::tuple{SPR_ALIEN, 1, 2}, std::tuple{SPR_ALIEN, 4, 5}, std::tuple{SPR_ALIEN, 7, 8},
                             std::tuple{SPR_UFO, 1, 2}}) {
        const SpriteFrame fa = Spr_Frame(set, a), fb = Spr_Frame(set, b);
        ASSERT_EQ(fa.w * fa.h, fb.w * fb.h);
        EXPECT_NE(std::memcmp(fa.picture, fb.picture, static_cast<std::size_t>(fa.w * fa.h)), 0)
            << "set " << set << " frames " << a << " and " << b;
    }
}

TEST_F(Sprites, EachFrameQueuesOneCommandFromItsTable) {
    for (int set = 0; set < SPR_SET_COUNT; ++set) {
        for (int frame = 0; frame < FRAME_COUNTS[set]; ++frame) {
            Gfx_ResetQueue();
            ASSERT_EQ(SET_FNS[set](21, 34, frame), GFX_OK);
            ASSERT_EQ(QueueCount(), 1);
            const SpriteFrame f = Spr_Frame(set, frame);
            const DrawCommand &cmd = Gfx_View().slots[0];
            EXPECT_EQ(cmd.picture, f.picture) << "set " << set << " frame " << frame;
            EXPECT_EQ(cmd.x, 21);
            EXPECT_EQ(cmd.y, 34);
            EXPECT_EQ(cmd.w, f.w);
            EXPECT_EQ(cmd.h, f.h);
            EXPECT_EQ(cmd.grey, 0);
        }
    }
}

TEST_F(Sprites, FramesOutsideTheTableQueueNothing) {
    Gfx_QueueFill(0, 0, 1, 1, 9);  // something already waiting stays as it is
    const GfxView before = Gfx_View();
    for (int set = 0; set < SPR_SET_COUNT; ++set) {
        for (int frame : {-1, -100, FRAME_COUNTS[set], FRAME_COUNTS[set] + 1, 255}) {
            EXPECT_EQ(SET_FNS[set](10, 10, frame), 0) << "set " << set << " frame " << frame;
            const GfxView after = Gfx_View();
            EXPECT_EQ(after.count, before.count);
            EXPECT_EQ(after.head, before.head);
            EXPECT_EQ(after.tail, before.tail);
        }
    }
}

TEST_F(Sprites, FullQueueDropsTheDraw) {
    for (int i = 0; i < GFX_SLOTS - 1; ++i) ASSERT_EQ(Gfx_QueueFill(0, 0, 1, 1, 0), GFX_OK);
    const GfxView before = Gfx_View();
    for (int set = 0; set < SPR_SET_COUNT; ++set) {
        for (int frame = 0; frame < FRAME_COUNTS[set]; ++frame) {
            EXPECT_EQ(SET_FNS[set](5, 5, frame), GFX_FULL) << "set " << set << " frame " << frame;
            const GfxView after = Gfx_View();
            EXPECT_EQ(after.count, GFX_SLOTS - 1);
            EXPECT_EQ(after.head, before.head);
            EXPECT_EQ(after.tail, before.tail);
        }
    }
}

class SpritesOnScreen : public Sprites {
protected:
    void SetUp() override {
        Sprites::SetUp();
        harness::FillSurface(harness::Grey(77));
    }
};

TEST_F(SpritesOnScreen, PictureIsOpaqueAndEraseLeavesBlack) {
    const SpriteFrame f = Spr_Frame(SPR_ALIEN, 1);
    Spr_Alien(100, 60, 1);
    Spr_Alien(100, 60, 1);  // twice looks like once
    Gfx_Flush();
    for (int y = 0; y < f.h; ++y)
        for (int x = 0; x < f.w; ++x) EXPECT_EQ(harness::Pixel(100 + x, 60 + y), harness::Grey(Px(f, x, y)));
    EXPECT_EQ(harness::Pixel(99, 60), harness::Grey(77));
    EXPECT_EQ(harness::Pixel(112, 60), harness::Grey(77));

    Spr_Alien(100, 60, 0);
    Gfx_Flush();
    for (int y = 0; y < f.h; ++y)
        for (int x = 0; x < f.w; ++x) EXPECT_EQ(harness::Pixel(100 + x, 60 + y), harness::Grey(0));
    EXPECT_EQ(harness::Pixel(112, 60), harness::Grey(77));
    EXPECT_EQ(harness::Pixel(100, 68), harness::Grey(77));
}

TEST_F(SpritesOnScreen, ExplosionEraseCoversTheExplosion) {
    Spr_Ufo(200, 20, 4);
    Spr_Alien(40, 20, 10);
    Gfx_Flush();
    Spr_Ufo(200, 20, 3);
    Spr_Alien(40, 20, 9);
    Gfx_Flush();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(harness::Pixel(200 + x, 20 + y), harness::Grey(0));
            EXPECT_EQ(harness::Pixel(40 + x, 20 + y), harness::Grey(0));
        }
    EXPECT_EQ(harness::Pixel(208, 20), harness::Grey(77));
    EXPECT_EQ(harness::Pixel(48, 20), harness::Grey(77));
}

TEST_F(SpritesOnScreen, CannonBlastShowsGrey128) {
    Spr_Cannon(150, 210, 2);
    Gfx_Flush();
    const SpriteFrame f = Spr_Frame(SPR_CANNON, 2);
    int grey = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 13; ++x) {
            EXPECT_EQ(harness::Pixel(150 + x, 210 + y), harness::Grey(Px(f, x, y)));
            grey += harness::Pixel(150 + x, 210 + y) == harness::Grey(128);
        }
    EXPECT_GT(grey, 0);
}

}  // namespace
