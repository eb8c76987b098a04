// The mystery ship: crosses the top now and then at one pixel a frame; the
// shots fired in the game pick its direction, its points and its waits.
#include "game/ufo.h"

#include "assets/sounds.h"
#include "assets/sprites.h"
#include "game/counter.h"
#include "game/test_seam.h"
#include "platform/snd.h"

namespace {

enum : int {
    UFO_FIRST_WAIT = 240,
    UFO_FLIGHT = 224,  // frames from one side to the other
    UFO_LEFT_START = 8,
    UFO_RIGHT_START = 232,
    UFO_TOP = 16,
    UFO_BAND_BOTTOM = 23,  // the hit band is rows 16-23 whatever ufoY holds
    UFO_HALF_W = 8,
    UFO_BLAST_HALF_W = 4,
    UFO_HIT_FRAMES = 90,
    UFO_HUM_EVERY = 25,
    UFO_WAIT_SCALE = 5,
};

// The ship's state is exactly what its view shows; the view hands out a copy.
UfoView s;

int PointsNow() {
    int i = s.shotCount % 6;
    if (i < 0) {
        i += 6;
    }
    return UFO_POINTS[i];
}

void Park() {
    s.waitTimer = PointsNow() * UFO_WAIT_SCALE;
    s.ufoX = UFO_PARKED_X;
}

}  // namespace

void Ufo_Reset() {
    // A flight or hit display of the previous game just stops, undrawn.
    s.shotCount = 0;
    s.waitTimer = UFO_FIRST_WAIT;
    s.hitTimer = 0;
    s.flightTimer = 0;
    s.ufoX = UFO_PARKED_X;
}

int Ufo_Update() {
    if (s.hitTimer > 0) {
        s.hitTimer -= 1;
        if (s.hitTimer == 0) {
            Spr_Ufo(s.ufoX - UFO_BLAST_HALF_W, s.ufoY, UFO_FRAME_BLAST_ERASE);
            s.flightTimer = 0;
            Park();
        }
        return 0;
    }

    if (s.waitTimer > 0) {
        s.waitTimer -= 1;
        if (s.waitTimer == 0) {
            s.flightTimer = UFO_FLIGHT;
            s.ufoDir = s.shotCount & 1;
            s.ufoX = (s.ufoDir == 0) ? UFO_LEFT_START : UFO_RIGHT_START;
            s.ufoY = UFO_TOP;
        }
    }

    if (s.flightTimer <= 0) {
        return 0;
    }
    if (s.flightTimer % UFO_HUM_EVERY == 0) {
        Snd_Play(SND_CH_SHIP, SND_UFO_FLY);
    }
    Spr_Ufo(s.ufoX - UFO_HALF_W, s.ufoY, UFO_FRAME_ERASE);
    s.ufoX += (s.ufoDir == 0) ? 1 : -1;
    s.flightTimer -= 1;
    if (s.flightTimer == 0) {
        Park();
    } else {
        Spr_Ufo(s.ufoX - UFO_HALF_W, s.ufoY, UFO_FRAME_SHIP + ((s.flightTimer / 4) & 1));
    }
    return 0;
}

int Ufo_HitTest(int x, int y) {
    // A parked ship sits at -32, out of every shot's reach.
    if (s.hitTimer > 0) {
        return 0;
    }
    if (y < UFO_TOP || y > UFO_BAND_BOTTOM) {
        return 0;
    }
    if (x < s.ufoX - UFO_HALF_W || x >= s.ufoX + UFO_HALF_W) {
        return 0;
    }
    s.hitTimer = UFO_HIT_FRAMES;
    Spr_Ufo(s.ufoX - UFO_HALF_W, s.ufoY, UFO_FRAME_ERASE);
    Spr_Ufo(s.ufoX - UFO_BLAST_HALF_W, s.ufoY, UFO_FRAME_BLAST);
    return 1;
}

int Ufo_Points() { return PointsNow(); }

void Ufo_CountShot() { s.shotCount = Count_Next(s.shotCount); }

void Ufo_SetShotCountForTest(int value) { s.shotCount = value; }

const UfoView &Ufo_View() { return s; }
