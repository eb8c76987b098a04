// The icon is derived from the sprite table at run time: no picture of it is
// stored anywhere.
#include "assets/icon.h"

#include "assets/sprites.h"

namespace {

constexpr int ICON_FRAME = 1;  // kind 1, first pose
constexpr int OUTLINE = 1;     // black cells around the lit ones, in frame pixels

// Grey of frame cell (cx, cy), 0 outside the frame.
int Cell(const SpriteFrame &f, int cx, int cy) {
    if (cx < 0 || cy < 0 || cx >= f.w || cy >= f.h) return 0;
    return f.picture[cy * f.w + cx];
}

}  // namespace

IconPixel Icon_Pixel(int size, int x, int y) {
    const SpriteFrame f = Spr_Frame(SPR_ALIEN, ICON_FRAME);
    const int w = f.w + 2 * OUTLINE;
    const int h = f.h + 2 * OUTLINE;
    const int scale = size / w;  // the frame is wider than it is tall
    if (scale < 1 || x < 0 || y < 0 || x >= size || y >= size) return {0, 0};
    const int left = (size - w * scale) / 2;
    const int top = (size - h * scale) / 2;
    if (x < left || y < top || x >= left + w * scale || y >= top + h * scale) return {0, 0};
    const int cx = (x - left) / scale - OUTLINE;
    const int cy = (y - top) / scale - OUTLINE;
    const int grey = Cell(f, cx, cy);
    if (grey != 0) return {static_cast<std::uint8_t>(grey), 255};
    for (int dy = -OUTLINE; dy <= OUTLINE; ++dy)
        for (int dx = -OUTLINE; dx <= OUTLINE; ++dx)
            if (Cell(f, cx + dx, cy + dy) != 0) return {0, 255};
    return {0, 0};
}

void Icon_Argb(int size, std::uint32_t *out) {
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const IconPixel p = Icon_Pixel(size, x, y);
            out[static_cast<std::size_t>(y) * size + static_cast<std::size_t>(x)] =
                (static_cast<std::uint32_t>(p.alpha) << 24) | (p.grey * 0x010101u);
        }
}
