// Four shields of 12 blocks (6 across, 2 high) that erode block by block.
#pragma once
#include <array>
#include <cstdint>

constexpr int SHIELD_BLOCKS = 48;

struct ShieldBlock {
    std::int16_t x;
    std::int16_t y;
    std::uint8_t alive;
};

void Shield_Build();
void Shield_Erase(int index);
int Shield_HitTest(int px, int py);  // 1 a block was destroyed

// The shields' state, which tests and tools read through Shield_View.
struct ShieldView {
    std::array<ShieldBlock, SHIELD_BLOCKS> blocks;
};
const ShieldView &Shield_View();
