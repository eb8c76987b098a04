// The two screen pictures: sizes, grey levels, the title's
// bounds and the logo's panel and shadow, and both drawn on the screen.
#include <gtest/gtest.h>

#include <set>

#include "assets/pictures.h"
#include "platform/gfx.h"
#include "tests/harness/harness.h"

namespace {

int Title(int x, int y) { return PIC_TITLE[y * PIC_TITLE_W + x]; }
int Logo(int x, int y) { return PIC_LOGO[y * PIC_LOGO_W + x]; }

template <typename F>
std::set<int> Greys(int w, int h, F at) {
    std::set<int> greys;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) greys.insert(at(x, y));
    return greys;
}

TEST(Pictures, Sizes) {
    EXPECT_EQ(PIC_TITLE_W, 320);
    EXPECT_EQ(PIC_TITLE_H, 240);
    EXPECT_EQ(PIC_LOGO_W, 162);
    EXPECT_EQ(PIC_LOGO_H, 58);
    ASSERT_NE(PIC_TITLE, nullptr);
    ASSERT_NE(PIC_LOGO, nullptr);
    EXPECT_NE(PIC_TITLE, PIC_LOGO);
}

TEST(Pictures, TitleGreyLevels) { EXPECT_EQ(Greys(PIC_TITLE_W, PIC_TITLE_H, Title), (std::set<int>{0, 153, 255})); }

TEST(Pictures, LogoGreyLevels) { EXPECT_EQ(Greys(PIC_LOGO_W, PIC_LOGO_H, Logo), (std::set<int>{0, 150, 255})); }

TEST(Pictures, TitleStaysInsideItsBoundsAndLeavesThePromptRowsBlack) {
    int minX = PIC_TITLE_W, maxX = -1, minY = PIC_TITLE_H, maxY = -1;
    for (int y = 0; y < PIC_TITLE_H; ++y)
        for (int x = 0; x < PIC_TITLE_W; ++x) {
            if (Title(x, y) == 0) continue;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    EXPECT_GE(minX, 40);
    EXPECT_LE(maxX, 282);
    EXPECT_GE(minY, 21);
    EXPECT_LE(maxY, 162);
    for (int y = 163; y < PIC_TITLE_H; ++y)
        for (int x = 0; x < PIC_TITLE_W; ++x) ASSERT_EQ(Title(x, y), 0) << x << "," << y;
}

TEST(Pictures, TitleHasAHeadAndLettering) {
    int grey = 0, white = 0;
    for (int y = 0; y < PIC_TITLE_H; ++y)
        for (int x = 0; x < PIC_TITLE_W; ++x) {
            grey += Title(x, y) == 153;
            white += Title(x, y) == 255;
        }
    EXPECT_GT(grey, 10000);  // a large grey head
    EXPECT_GT(white, 5000);  // large white lettering
    // The white of the lettering is edged in black: no white pixel of the
    // lettering (columns 78-243, rows 58-132) touches grey.
    for (int y = 58; y <= 132; ++y)
        for (int x = 78; x <= 243; ++x) {
            if (Title(x, y) != 255) continue;
            for (auto [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}})
                EXPECT_NE(Title(x + dx, y + dy), 153) << "letter pixel " << x << "," << y << " touches the head";
        }
}

// The panel is 160x56 at (0, 0); its shadow is a two-pixel grey band along
// its right and bottom edges, offset by two pixels, so the outer corners at
// the top right and bottom left stay black.
TEST(Pictures, LogoShadowBand) {
    for (int y = 0; y < PIC_LOGO_H; ++y)
        for (int x = 160; x < 162; ++x) EXPECT_EQ(Logo(x, y), y < 2 ? 0 : 150) << x << "," << y;
    for (int y = 56; y < 58; ++y)
        for (int x = 0; x < 160; ++x) EXPECT_EQ(Logo(x, y), x < 2 ? 0 : 150) << x << "," << y;
}

TEST(Pictures, LogoPanelIsWhiteWithBlackInk) {
    int black = 0;
    for (int y = 0; y < 56; ++y)
        for (int x = 0; x < 160; ++x) {
            const int g = Logo(x, y);
            EXPECT_TRUE(g == 0 || g == 255) << x << "," << y << " grey " << g;
            black += g == 0;
        }
    EXPECT_GT(black, 1000);  // the face and the lettering
    // The panel's border is white all round: the ink stays inside it.
    for (int x = 0; x < 160; ++x) {
        EXPECT_EQ(Logo(x, 0), 255) << x;
        EXPECT_EQ(Logo(x, 1), 255) << x;
        EXPECT_EQ(Logo(x, 55), 255) << x;
    }
    for (int y = 0; y < 56; ++y) {
        EXPECT_EQ(Logo(0, y), 255) << y;
        EXPECT_EQ(Logo(159, y), 255) << y;
    }
    // A face at the left (ink in the left quarter), lettering to its right,
    // a line of small text along the bottom.
    auto ink = [](int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) n += Logo(x, y) == 0;
        return n;
    };
    EXPECT_GT(ink(2, 2, 40, 44), 150);
    EXPECT_GT(ink(42, 2, 157, 30), 300);
    EXPECT_GT(ink(2, 46, 157, 53), 50);
}

class PicturesOnScreen : public ::testing::Test {
protected:
    void SetUp() override {
        Gfx_ResetQueue();
        harness::FillSurface(harness::Grey(77));
    }
};

TEST_F(PicturesOnScreen, TitleFillsTheScreen) {
    ASSERT_EQ(Gfx_QueuePicture(0, 0, PIC_TITLE_W, PIC_TITLE_H, PIC_TITLE), GFX_OK);
    Gfx_Flush();
    for (int y = 0; y < PIC_TITLE_H; y += 3)
        for (int x = 0; x < PIC_TITLE_W; x += 3)
            ASSERT_EQ(harness::Pixel(x, y), harness::Grey(Title(x, y))) << x << "," << y;
    EXPECT_EQ(harness::Pixel(319, 239), harness::Grey(0));
}

TEST_F(PicturesOnScreen, LogoAtItsSplashPlace) {
    ASSERT_EQ(Gfx_QueuePicture(80, 92, PIC_LOGO_W, PIC_LOGO_H, PIC_LOGO), GFX_OK);
    Gfx_Flush();
    for (int y = 0; y < PIC_LOGO_H; ++y)
        for (int x = 0; x < PIC_LOGO_W; ++x)
            ASSERT_EQ(harness::Pixel(80 + x, 92 + y), harness::Grey(Logo(x, y))) << x << "," << y;
    EXPECT_EQ(harness::Pixel(79, 92), harness::Grey(77));
    EXPECT_EQ(harness::Pixel(80 + PIC_LOGO_W, 92), harness::Grey(77));
    EXPECT_EQ(harness::Pixel(80, 92 + PIC_LOGO_H), harness::Grey(77));
    EXPECT_EQ(harness::Pixel(80 + 160, 92 + 30), harness::Grey(150));
}

}  // namespace
