// The icon: the first alien frame, outlined, scaled by whole factors and
// centred on a transparent square.
#include <gtest/gtest.h>

#include "assets/icon.h"
#include "assets/sprites.h"

namespace {

constexpr int SIZES[] = {16, 32, 48, 64, 128, 256};

// Grey of frame cell (cx, cy) of the icon's frame, 0 outside it.
int Cell(int cx, int cy) {
    const SpriteFrame f = Spr_Frame(SPR_ALIEN, 1);
    if (cx < 0 || cy < 0 || cx >= f.w || cy >= f.h) return 0;
    return f.picture[cy * f.w + cx];
}

bool NextToLit(int cx, int cy) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (Cell(cx + dx, cy + dy) != 0) return true;
    return false;
}

TEST(Icon, EveryMenuSizeIsTheOutlinedFrameInWholeBlocksCentred) {
    const SpriteFrame f = Spr_Frame(SPR_ALIEN, 1);
    ASSERT_NE(f.picture, nullptr);
    for (int size : SIZES) {
        // The largest whole factor at which the outlined frame fits.
        const int scale = size / (f.w + 2);
        ASSERT_GE(scale, 1) << size;
        const int left = (size - (f.w + 2) * scale) / 2;
        const int top = (size - (f.h + 2) * scale) / 2;
        int lit = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const IconPixel p = Icon_Pixel(size, x, y);
                const bool inside =
                    x >= left && y >= top && x < left + (f.w + 2) * scale && y < top + (f.h + 2) * scale;
                const int cx = inside ? (x - left) / scale - 1 : -99;
                const int cy = inside ? (y - top) / scale - 1 : -99;
                const int grey = Cell(cx, cy);
                if (grey != 0) {
                    ++lit;
                    EXPECT_EQ(p.grey, grey) << size << " " << x << "," << y;
                    EXPECT_EQ(p.alpha, 255) << size << " " << x << "," << y;
                } else if (inside && NextToLit(cx, cy)) {
                    EXPECT_EQ(p.grey, 0) << size << " " << x << "," << y;
                    EXPECT_EQ(p.alpha, 255) << "outline " << size << " " << x << "," << y;
                } else {
                    EXPECT_EQ(p.alpha, 0) << "background " << size << " " << x << "," << y;
                }
            }
        int cells = 0;
        for (int i = 0; i < f.w * f.h; ++i) cells += f.picture[i] != 0 ? 1 : 0;
        EXPECT_EQ(lit, cells * scale * scale) << size;
        // Centred: equal margins, or one pixel more on the right and bottom.
        const int right = size - left - (f.w + 2) * scale;
        const int bottom = size - top - (f.h + 2) * scale;
        EXPECT_LE(right - left, 1) << size;
        EXPECT_GE(right - left, 0) << size;
        EXPECT_LE(bottom - top, 1) << size;
        EXPECT_GE(bottom - top, 0) << size;
    }
}

TEST(Icon, TooSmallOrOutsideTheSquareIsTransparent) {
    for (int y = 0; y < ICON_MIN_SIZE - 1; ++y)
        for (int x = 0; x < ICON_MIN_SIZE - 1; ++x) EXPECT_EQ(Icon_Pixel(ICON_MIN_SIZE - 1, x, y).alpha, 0);
    for (int size : SIZES) {
        EXPECT_EQ(Icon_Pixel(size, -1, size / 2).alpha, 0);
        EXPECT_EQ(Icon_Pixel(size, size, size / 2).alpha, 0);
        EXPECT_EQ(Icon_Pixel(size, size / 2, -1).alpha, 0);
        EXPECT_EQ(Icon_Pixel(size, size / 2, size).alpha, 0);
    }
    // At the smallest size the outline touches both sides.
    EXPECT_EQ(Icon_Pixel(ICON_MIN_SIZE, 0, ICON_MIN_SIZE / 2).alpha, 255);
    EXPECT_EQ(Icon_Pixel(ICON_MIN_SIZE, ICON_MIN_SIZE - 1, ICON_MIN_SIZE / 2).alpha, 255);
}

}  // namespace
