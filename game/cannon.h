// The player's cannon: moves along the floor, fires, blinks on arrival and
// shows its blast when a bomb reaches it.
#pragma once

constexpr int CANNON_Y = 216;

void Cannon_Reset();
int Cannon_Update();                 // 1 on the frame a blast ends
int Cannon_HitTest(int px, int py);  // 1 the cannon is hit now

struct CannonView {
    int x;
    int blinkTimer;
    int blastTimer;
    int fireHeld;
};
const CannonView &Cannon_View();
