// Shields: four shields of 12 blocks each, eroded block by block.
#include "game/shield.h"

#include "assets/sprites.h"

namespace {

enum : int {
    SHIELD_ROW = 24,      // blocks per row of all four shields
    SHIELD_COLS = 6,      // blocks across one shield
    SHIELD_TOP = 184,     // top row of the upper blocks
    SHIELD_LEFT = 24,     // left column of shield 0
    SHIELD_SPACING = 56,  // from one shield's left edge to the next
    BLOCK_W = 4,
    BLOCK_H = 8,
};

// The shields' state is exactly what their view shows.
ShieldView s;

// A standing neighbour is redrawn with the edge facing the loss gnawed.
void RedrawNeighbour(int index, int frame) {
    const ShieldBlock &b = s.blocks[index];
    if (b.alive) {
        Spr_Shield(b.x, b.y, frame);
    }
}

}  // namespace

void Shield_Build() {
    for (int i = 0; i < SHIELD_BLOCKS; ++i) {
        const int row = i / SHIELD_ROW;
        const int shield = (i % SHIELD_ROW) / SHIELD_COLS;
        const int column = i % SHIELD_COLS;
        ShieldBlock &b = s.blocks[i];
        b.x = static_cast<std::int16_t>(SHIELD_LEFT + SHIELD_SPACING * shield + BLOCK_W * column);
        b.y = static_cast<std::int16_t>(SHIELD_TOP + BLOCK_H * row);
        b.alive = 1;
        Spr_Shield(b.x, b.y, SHIELD_FRAME_WHOLE);
    }
}

void Shield_Erase(int index) {
    // Only the hit test calls this; an index outside the table is ignored
    // rather than trusted.
    if (index < 0 || index >= SHIELD_BLOCKS) {
        return;
    }
    ShieldBlock &b = s.blocks[index];
    b.alive = 0;
    Spr_Shield(b.x, b.y, SHIELD_FRAME_ERASE);

    if (index < SHIELD_ROW) {
        RedrawNeighbour(index + SHIELD_ROW, SHIELD_FRAME_GNAWED_TOP);
    } else {
        RedrawNeighbour(index - SHIELD_ROW, SHIELD_FRAME_GNAWED_BOTTOM);
    }
    // Column 0 and column 5 have no neighbour across the shield's edge.
    if (index % SHIELD_COLS != 0) {
        RedrawNeighbour(index - 1, SHIELD_FRAME_GNAWED_RIGHT);
    }
    if (index % SHIELD_COLS != SHIELD_COLS - 1) {
        RedrawNeighbour(index + 1, SHIELD_FRAME_GNAWED_LEFT);
    }
}

int Shield_HitTest(int px, int py) {
    // The rows tested lie one pixel below the rows drawn.
    if (py < SHIELD_TOP + 1 || py > SHIELD_TOP + 2 * BLOCK_H - 1) {
        return 0;
    }
    const int first = (py <= SHIELD_TOP + BLOCK_H) ? 0 : SHIELD_ROW;
    int hit = 0;
    for (int i = first; i < first + SHIELD_ROW; ++i) {
        const ShieldBlock &b = s.blocks[i];
        if (b.alive && b.x <= px && px < b.x + BLOCK_W) {
            Shield_Erase(i);
            hit = 1;
        }
    }
    return hit;
}

const ShieldView &Shield_View() { return s; }
