// The cannon: slides along the floor, fires on a new press, blinks while it
// arrives and shows its wreck for a while when a bomb reaches it.
#include "game/cannon.h"

#include "assets/sounds.h"
#include "assets/sprites.h"
#include "game/shots.h"
#include "platform/pad.h"
#include "platform/snd.h"

namespace {

enum : int {
    CANNON_START_X = 10,
    CANNON_MIN_X = 1,
    CANNON_MAX_X = 226,
    CANNON_W = 13,
    CANNON_BLINK = 60,  // arrival frames, cannot be hit
    CANNON_BLAST = 90,  // wreck frames
    SHOT_OFFSET_X = 6,  // the barrel's tip
    SHOT_START_Y = 208,
};

// The cannon's state is exactly what its view shows; the view hands out a copy.
CannonView s;

int UpdateWreck() {
    Spr_Cannon(s.x, CANNON_Y, (s.blastTimer & 4) ? CANNON_FRAME_WRECK_B : CANNON_FRAME_WRECK_A);
    s.blastTimer -= 1;
    if (s.blastTimer == 0) {
        Spr_Cannon(s.x, CANNON_Y, CANNON_FRAME_ERASE);
        s.blinkTimer = CANNON_BLINK;
        return 1;
    }
    return 0;
}

}  // namespace

void Cannon_Reset() {
    // fireHeld is kept: a button held across games is not a new press.
    s.x = CANNON_START_X;
    s.blinkTimer = CANNON_BLINK;
    s.blastTimer = 0;
}

int Cannon_Update() {
    if (s.blastTimer > 0) {
        return UpdateWreck();
    }

    ButtonMask held = 0;
    Pad_Read(&held);
    const int oldX = s.x;

    if (s.x > CANNON_MIN_X && (held & BTN_LEFT)) {
        s.x -= 1;
    }
    if (s.x < CANNON_MAX_X && (held & BTN_RIGHT)) {
        s.x += 1;
    }

    if (held & BTN_A) {
        if (s.fireHeld == 0) {
            Shot_Fire(s.x + SHOT_OFFSET_X, SHOT_START_Y);
        }
        s.fireHeld = 1;
    } else {
        s.fireHeld = 0;
    }

    if (s.x == oldX && s.blinkTimer <= 0) {
        return 0;
    }
    if (s.blinkTimer > 0) {
        s.blinkTimer -= 1;
    }
    Spr_Cannon(oldX, CANNON_Y, CANNON_FRAME_ERASE);
    // Hidden on odd timer values while arriving; always shown once ready.
    if ((s.blinkTimer & 1) == 0) {
        Spr_Cannon(s.x, CANNON_Y, CANNON_FRAME_CANNON);
    }
    return 0;
}

int Cannon_HitTest(int px, int py) {
    // Columns x+1 .. x+12 from row 216 down; no hit while arriving or wrecked.
    if (s.blinkTimer > 0 || s.blastTimer > 0 || py < CANNON_Y || px <= s.x || px >= s.x + CANNON_W) {
        return 0;
    }
    Snd_Play(SND_CH_CANNON, SND_CANNON_BLAST);
    s.blastTimer = CANNON_BLAST;
    return 1;
}

const CannonView &Cannon_View() { return s; }
