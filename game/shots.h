// The cannon's single shot and the aliens' two bomb slots.
#pragma once
#include <cstdint>

struct Missile {
    std::int16_t x;      // centre column
    std::int16_t y;      // top row
    std::uint8_t state;  // shot: 0 idle, 1 flying; bomb: 0 free, 1 or 2 its kind
    std::uint8_t anim;
};

constexpr int BOMB_SLOTS = 2;

int Shots_Reset();
int Shot_Fire(int x, int y);  // 0 fired, 2 already flying
int Bomb_Drop(int x, int y);  // 0 dropped, 2 both slots in use
int Shots_Update();           // points scored this frame

struct ShotsView {
    Missile shot;
    int shotPause;
    Missile bombs[BOMB_SLOTS];
    int bombCounter;
};
const ShotsView &Shots_View();
