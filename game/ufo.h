// The mystery ship: crosses the top now and then; its direction, points and
// waits come from the number of shots fired in the game.
#pragma once
#include <array>

constexpr int UFO_PARKED_X = -32;
// Points for a hit, by shots fired mod 6; five times the entry is the wait.
inline constexpr std::array<int, 6> UFO_POINTS{50, 100, 50, 100, 200, 300};

void Ufo_Reset();
int Ufo_Update();
int Ufo_HitTest(int x, int y);
int Ufo_Points();
void Ufo_CountShot();

struct UfoView {
    int ufoX;
    int ufoY;
    int ufoDir;
    int shotCount;
    int waitTimer;
    int flightTimer;
    int hitTimer;
};
const UfoView &Ufo_View();
