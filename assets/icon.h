// The program's icon, for the window and the desktop menu alike: the first
// alien frame, outlined in black so that it stands out on light and dark
// backgrounds, scaled by the largest whole factor that fits a size x size
// square (nearest neighbour) and centred on transparency.
#pragma once
#include <cstdint>

struct IconPixel {
    std::uint8_t grey;
    std::uint8_t alpha;  // 0 transparent, 255 opaque
};

constexpr int ICON_MIN_SIZE = 14;  // the outlined frame at 1x

// Pixel (x, y) of the size x size icon; transparent outside the square.
IconPixel Icon_Pixel(int size, int x, int y);

// The whole size x size icon as 0xAARRGGBB pixels, row by row, into out.
void Icon_Argb(int size, std::uint32_t *out);
