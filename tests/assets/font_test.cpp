// The font table: which codes have glyphs, the small letters, the
// cell rules, and glyphs drawn on the screen through the draw queue.
#include <gtest/gtest.h>

#include <cstring>

#include "assets/font.h"
#include "platform/gfx.h"
#include "tests/harness/harness.h"

namespace {

bool HasOwnGlyph(int code) { return code >= 33 && code <= 95 && code != 64; }

bool IsSmallLetter(int code) { return code >= 'a' && code <= 'z'; }

int Px(int code, int x, int y) { return FONT[static_cast<std::size_t>(code)][y * 8 + x]; }

TEST(Font, CodesWithGlyphsAndEmptySlots) {
    for (int code = 0; code < 128; ++code) {
        const bool drawn = HasOwnGlyph(code) || IsSmallLetter(code);
        if (drawn) EXPECT_NE(FONT[code], nullptr) << "code " << code;
        else EXPECT_EQ(FONT[code], nullptr) << "code " << code;
    }
    EXPECT_EQ(FONT[' '], nullptr);
    EXPECT_EQ(FONT['@'], nullptr);
    EXPECT_EQ(FONT['`'], nullptr);
}

TEST(Font, SmallLettersShareTheCapitalsGlyphs) {
    for (int code = 'a'; code <= 'z'; ++code) EXPECT_EQ(FONT[code], FONT[code - 32]) << "code " << code;
}

TEST(Font, EveryGlyphIsItsOwnAndNotBlank) {
    for (int a = 33; a <= 95; ++a) {
        if (!HasOwnGlyph(a)) continue;
        int lit = 0;
        for (int i = 0; i < 64; ++i) lit += FONT[a][i] != 0;
        EXPECT_GT(lit, 0) << "code " << a;
        for (int b = 33; b < a; ++b) {
            if (!HasOwnGlyph(b)) continue;
            EXPECT_NE(std::memcmp(FONT[a], FONT[b], 64), 0) << "codes " << a << " and " << b << " look the same";
        }
    }
}

TEST(Font, OnlyBlackAndWhite) {
    for (int code = 0; code < 128; ++code) {
        if (FONT[code] == nullptr) continue;
        for (int i = 0; i < 64; ++i) {
            const int g = FONT[code][i];
            EXPECT_TRUE(g == 0 || g == 255) << "code " << code << " pixel " << i << " grey " << g;
        }
    }
}

TEST(Font, ColumnSevenBlankRowSevenBlankButForCommaAndSemicolonTails) {
    for (int code = 0; code < 128; ++code) {
        if (FONT[code] == nullptr) continue;
        for (int y = 0; y < 8; ++y) EXPECT_EQ(Px(code, 7, y), 0) << "code " << code << " row " << y;
        int row7 = 0;
        for (int x = 0; x < 8; ++x) row7 += Px(code, x, 7) != 0;
        if (code == ',' || code == ';') EXPECT_GT(row7, 0) << "the tail of code " << code;
        else EXPECT_EQ(row7, 0) << "code " << code;
    }
}

TEST(Font, LettersAndDigitsFitFiveBySeven) {
    for (int code = 33; code <= 95; ++code) {
        const bool alnum = (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z');
        if (!alnum) continue;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                if (x >= 1 && x <= 5 && y <= 6) continue;
                EXPECT_EQ(Px(code, x, y), 0) << "code " << code << " at " << x << "," << y;
            }
        }
    }
}

class FontOnScreen : public ::testing::Test {
protected:
    void SetUp() override {
        Gfx_ResetQueue();
        harness::FillSurface(harness::Grey(77));
    }
};

TEST_F(FontOnScreen, GlyphDrawsItsPixels) {
    ASSERT_EQ(Gfx_QueueChar(40, 16, 'A'), GFX_OK);
    Gfx_Flush();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(harness::Pixel(40 + x, 16 + y), harness::Grey(Px('A', x, y))) << x << "," << y;
    EXPECT_EQ(harness::Pixel(39, 16), harness::Grey(77));
    EXPECT_EQ(harness::Pixel(48, 16), harness::Grey(77));
    EXPECT_EQ(harness::Pixel(40, 24), harness::Grey(77));
}

TEST_F(FontOnScreen, SmallLetterDrawsLikeTheCapital) {
    Gfx_QueueChar(0, 0, 'a');
    Gfx_QueueChar(8, 0, 'A');
    Gfx_Flush();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(harness::Pixel(x, y), harness::Pixel(8 + x, y)) << x << "," << y;
}

TEST_F(FontOnScreen, EmptySlotsDrawABlackCell) {
    for (int ch : {int{' '}, int{'@'}, int{'`'}, 0, 127}) {
        harness::FillSurface(harness::Grey(77));
        ASSERT_EQ(Gfx_QueueChar(100, 50, ch), GFX_OK);
        Gfx_Flush();
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) EXPECT_EQ(harness::Pixel(100 + x, 50 + y), harness::Grey(0)) << "code " << ch;
        EXPECT_EQ(harness::Pixel(108, 50), harness::Grey(77));
        EXPECT_EQ(harness::Pixel(100, 58), harness::Grey(77));
    }
}

TEST_F(FontOnScreen, TextSetsGlyphsEightPixelsApart) {
    Gfx_QueueText(16, 200, "ZM-1");
    Gfx_Flush();
    const char *text = "ZM-1";
    for (int i = 0; i < 4; ++i)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_EQ(harness::Pixel(16 + 8 * i + x, 200 + y), harness::Grey(Px(text[i], x, y)));
}

}  // namespace
