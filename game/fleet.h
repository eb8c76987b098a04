// The alien fleet: 60 aliens, 6 rows of 10, one stepping each frame.
#pragma once
#include <array>
#include <cstdint>

struct Alien {
    std::int16_t x;     // centre column
    std::int16_t y;     // top row
    std::uint8_t type;  // 0 gone; 1-3 the kind
};

// Kind 1 fills the formation's two bottom rows, kind 2 the middle two and
// kind 3 the top two. Points for shooting one down, by kind:
inline constexpr std::array<int, 4> ALIEN_POINTS{0, 10, 20, 30};

// Fleet_HitTest's result for a hit on an alien of this kind; 0 is a miss.
constexpr int FleetHitCode(int kind) { return kind + 1; }
// The points a Fleet_HitTest result is worth; 0 for a miss.
constexpr int FleetHitPoints(int code) {
    return code >= FleetHitCode(1) && code <= FleetHitCode(3) ? ALIEN_POINTS[code - 1] : 0;
}

// Frames an alien hit shows its explosion before it is gone.
constexpr int FLEET_EXPLODE_FRAMES = 20;

constexpr int FLEET_ROWS = 6;
constexpr int FLEET_COLS = 10;
constexpr int FLEET_SIZE = FLEET_ROWS * FLEET_COLS;

enum : int {
    MARCH_LEFT = 1,
    MARCH_DOWN = 2,
};

int Fleet_Reset(int wave);
int Fleet_Update();  // 1 when the alien stepped this frame came down below y 207
int Fleet_Count();
int Fleet_HitTest(int x, int y);  // 0, or FleetHitCode(kind)
int Fleet_FrontY();
int Fleet_UpdateDirection();
void Fleet_DropBombs();
void Fleet_MarchSound();

// The fleet's state, which tests and tools read through Fleet_View.
struct FleetView {
    std::array<Alien, FLEET_SIZE> aliens;
    int cursor;
    int marchFlags;
    int sweepCount;
    int explodeTimer;
    int explodeIndex;
    int bombTimer;
    int notePending;
    int noteTimer;
    int noteIndex;
};
const FleetView &Fleet_View();
