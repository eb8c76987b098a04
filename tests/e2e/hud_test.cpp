// The game controller's HUD drawn into the real screen: the floor, the
// divider, the panel's words and numbers, and the reserve display.
#include <gtest/gtest.h>

#include <string>

#include "assets/font.h"
#include "game/game.h"
#include "platform/gfx.h"
#include "tests/harness/harness.h"

using harness::Grey;
using harness::Pixel;

namespace {

int Lit(int x, int y, int w, int h) {
    int n = 0;
    for (int j = y; j < y + h; ++j) {
        for (int i = x; i < x + w; ++i) n += Pixel(i, j) != Grey(0) ? 1 : 0;
    }
    return n;
}

char GlyphAt(int x, int y) {
    if (Lit(x, y, 8, 8) == 0) return ' ';
    for (int c = 33; c < 128; ++c) {
        const Picture *g = FONT[static_cast<std::size_t>(c)];
        if (g == nullptr) continue;
        bool same = true;
        for (int j = 0; j < 8 && same; ++j) {
            for (int i = 0; i < 8 && same; ++i) same = Pixel(x + i, y + j) == Grey(g[j * 8 + i]);
        }
        if (same) return static_cast<char>(c);
    }
    return '?';
}

std::string TextAt(int x, int y, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += GlyphAt(x + 8 * i, y);
    return s;
}

class Hud : public ::testing::Test {
protected:
    void SetUp() override {
        Gfx_ResetQueue();
        Gfx_SetPresentEnabled(0);
        harness::FillSurface(Grey(90));  // anything left undrawn shows
        harness::ClockSet(1000);
    }
    static int Queued() {
        int n = -1;
        Gfx_QueueCount(&n);
        return n;
    }
};

TEST_F(Hud, DrawsTheWholeScreenAtOnce) {
    Hud_Draw(123456, 2);
    EXPECT_EQ(Queued(), 0);
    EXPECT_EQ(Gfx_View().presentEnabled, 1);
    // Floor band x 1-239, y 224-239; column 0 stays black.
    EXPECT_EQ(Lit(1, 224, 239, 16), 239 * 16);
    EXPECT_EQ(Pixel(1, 224), Grey(255));
    EXPECT_EQ(Pixel(239, 239), Grey(255));
    EXPECT_EQ(Lit(0, 224, 1, 16), 0);
    // Divider x 240-241 over the whole height.
    EXPECT_EQ(Lit(240, 0, 2, 240), 2 * 240);
    // The play field is black.
    EXPECT_EQ(Lit(0, 0, 240, 224), 0);
    EXPECT_EQ(TextAt(248, 200, 5), "ZULT-");
    EXPECT_EQ(TextAt(264, 208, 5), "MIRAX");
    EXPECT_EQ(TextAt(248, 32, 5), "SCORE");
    EXPECT_EQ(TextAt(256, 40, 6), "000000");
    EXPECT_EQ(TextAt(248, 56, 7), "HISCORE");
    EXPECT_EQ(TextAt(256, 64, 6), "123456");
    EXPECT_EQ(TextAt(248, 80, 4), "REST");
    EXPECT_EQ(GlyphAt(256, 88), '2');
    EXPECT_GT(Lit(256, 96, 13, 8), 0);
    EXPECT_GT(Lit(270, 96, 13, 8), 0);
    EXPECT_EQ(Lit(284, 96, 13, 8), 0);
    // Nothing else on the panel.
    EXPECT_EQ(Lit(242, 0, 78, 240), Lit(248, 32, 72, 72) + Lit(248, 200, 72, 16));
}

TEST_F(Hud, ReserveFillsFromTheLeftAndBlacksOutTheRest) {
    Hud_Draw(0, 2);
    for (int count : {1, 0, 2, 0}) {
        SCOPED_TRACE(count);
        Hud_DrawLives(count);
        EXPECT_EQ(Queued(), 4);  // the digit and three slots
        Gfx_Flush();
        EXPECT_EQ(GlyphAt(256, 88), '0' + count);
        for (int i = 0; i < 3; ++i) {
            if (i < count) EXPECT_GT(Lit(256 + 14 * i, 96, 13, 8), 0) << i;
            else EXPECT_EQ(Lit(256 + 14 * i, 96, 13, 8), 0) << i;
        }
    }
}

TEST_F(Hud, GameStartShowsTheHighScoreOfEarlierGames) {
    Game_SetHiScore(4321);
    Game_Start();
    const GameView g = Game_View();
    EXPECT_EQ(g.score, 0);
    EXPECT_EQ(g.hiScore, 4321);
    EXPECT_EQ(g.lives, 2);
    EXPECT_EQ(g.wave, 0);
    EXPECT_EQ(Game_GetHiScore(), 4321);
    EXPECT_EQ(TextAt(256, 40, 6), "000000");
    EXPECT_EQ(TextAt(256, 64, 6), "004321");
    EXPECT_EQ(GlyphAt(256, 88), '2');
    // The shields are queued, not shown: the first step's present shows them.
    EXPECT_EQ(Lit(0, 184, 240, 16), 0);
    EXPECT_GE(Queued(), 48);
    EXPECT_EQ(Game_Step(), 1);
    EXPECT_GT(Lit(24, 184, 24, 16), 0);
    Game_SetHiScore(0);
    EXPECT_EQ(Game_GetHiScore(), 0);
}

}  // namespace
