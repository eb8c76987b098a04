// The alien fleet: one alien steps each frame, so the formation speeds up as
// it thins out; it turns and steps down at the edges, erodes the shields,
// drops bombs and plays the march.
#include "game/fleet.h"

#include "assets/sounds.h"
#include "assets/sprites.h"
#include "game/shield.h"
#include "game/shots.h"
#include "platform/snd.h"

namespace {

enum : int {
    FLEET_BOTTOM_Y = 104,  // bottom row of the first formation
    FLEET_WAVE_DROP = 32,  // each wave starts this much lower ...
    FLEET_LOWEST_Y = 168,  // ... down to here
    FLEET_ROW_SPACING = 12,
    FLEET_LEFT_X = 16,
    FLEET_COL_SPACING = 16,
    STEP_SIDE = 4,
    STEP_DOWN = 8,
    TURN_LEFT_BELOW = 16,    // leftmost centre that makes a left march turn
    TURN_RIGHT_ABOVE = 224,  // rightmost centre that makes a right march turn
    LANDED_BELOW = 207,      // an alien stepping down past this has landed
    ALIEN_H = 8,
    BOMB_EXTRA = 15,  // a bomb attempt every live + 16 marching frames
    BOMB_SEED = 0xA5,
    NOTE_GAP = 24,  // a note needs more frames than this since the last
};

constexpr std::array<int, 4> MARCH_NOTES{SND_MARCH_1, SND_MARCH_2, SND_MARCH_3, SND_MARCH_4};

// By kind 1..3 (index 0 unused): half the hit width and the erase frame;
// the two march poses follow the erase frame.
constexpr std::array<int, 4> HALF_WIDTH{0, 6, 5, 4};
constexpr std::array<int, 4> ERASE_FRAME{0, ALIEN_FRAME_KIND_1, ALIEN_FRAME_KIND_2, ALIEN_FRAME_KIND_3};

// The fleet's state is exactly what its view shows.
FleetView s;

bool IsLive(const Alien &a) { return a.type >= 1 && a.type <= 3; }

// Returns 0 and draws nothing for an index outside the table.
int Explode() {
    if (s.explodeIndex < 0 || s.explodeIndex >= FLEET_SIZE) {
        s.explodeTimer = 0;
        return 0;
    }
    Alien &a = s.aliens[s.explodeIndex];
    Spr_Alien(a.x - HALF_WIDTH[1], a.y, ALIEN_FRAME_KIND_1);
    s.explodeTimer -= 1;
    if (s.explodeTimer <= 0) {
        a.type = 0;
    } else {
        Spr_Alien(a.x - HALF_WIDTH[3], a.y, ALIEN_FRAME_EXPLOSION);
    }
    return 0;
}

int Step(Alien &a) {
    int landed = 0;
    const int oldX = a.x;
    const int oldY = a.y;
    if (s.marchFlags & MARCH_DOWN) {
        a.y = static_cast<std::int16_t>(a.y + STEP_DOWN);
        if (a.y > LANDED_BELOW) {
            landed = 1;
        }
    } else if (s.marchFlags & MARCH_LEFT) {
        a.x = static_cast<std::int16_t>(a.x - STEP_SIDE);
    } else {
        a.x = static_cast<std::int16_t>(a.x + STEP_SIDE);
    }

    // The alien gnaws at whatever shield lies just under it.
    Shield_HitTest(a.x - 4, a.y + ALIEN_H);
    Shield_HitTest(a.x, a.y + ALIEN_H);
    Shield_HitTest(a.x + 4, a.y + ALIEN_H);

    const int half = HALF_WIDTH[a.type];
    const int erase = ERASE_FRAME[a.type];
    Spr_Alien(oldX - half, oldY, erase);
    Spr_Alien(a.x - half, a.y, erase + ALIEN_FRAME_POSE_A + (s.sweepCount & 1));
    return landed;
}

void Advance() {
    for (int k = 1; k <= FLEET_SIZE; ++k) {
        const int i = (s.cursor + k) % FLEET_SIZE;
        if (i == 0) {
            // A wrap: a new sweep starts; the down step lasts one sweep.
            s.notePending = 1;
            s.sweepCount += 1;
            s.marchFlags &= MARCH_LEFT;
            Fleet_UpdateDirection();
        }
        if (IsLive(s.aliens[i])) {
            s.cursor = i;
            return;
        }
    }
    s.cursor = -1;
}

}  // namespace

int Fleet_Reset(int wave) {
    // Each wave starts lower, down to the lowest start from wave 2 on.
    const int bottom = (wave >= 2) ? FLEET_LOWEST_Y : FLEET_BOTTOM_Y + FLEET_WAVE_DROP * wave;
    for (int r = 0; r < FLEET_ROWS; ++r) {
        for (int c = 0; c < FLEET_COLS; ++c) {
            Alien &a = s.aliens[r * FLEET_COLS + c];
            a.x = static_cast<std::int16_t>(FLEET_LEFT_X + FLEET_COL_SPACING * c);
            a.y = static_cast<std::int16_t>(bottom - FLEET_ROW_SPACING * r);
            a.type = static_cast<std::uint8_t>(r / 2 + 1);
        }
    }
    // explodeIndex and noteTimer carry over from the previous formation.
    s.cursor = 0;
    s.marchFlags = 0;
    s.sweepCount = 0;
    s.explodeTimer = 0;
    s.bombTimer = 0;
    s.notePending = 0;
    s.noteIndex = 0;
    return 0;
}

int Fleet_Update() {
    s.noteTimer += 1;
    if (s.cursor < 0 || s.cursor >= FLEET_SIZE) {
        return 0;
    }
    if (s.explodeTimer > 0) {
        return Explode();
    }

    int landed = 0;
    Alien &a = s.aliens[s.cursor];
    if (IsLive(a)) {
        landed = Step(a);
    }
    Advance();
    Fleet_DropBombs();
    Fleet_MarchSound();
    return landed;
}

int Fleet_Count() {
    int n = 0;
    for (const Alien &a : s.aliens) {
        if (a.type != 0) {
            ++n;
        }
    }
    return n;
}

int Fleet_HitTest(int x, int y) {
    // The front row is hit on its top eight rows only.
    if (y >= Fleet_FrontY() + ALIEN_H) {
        return 0;
    }
    for (int i = 0; i < FLEET_SIZE; ++i) {
        const Alien &a = s.aliens[i];
        if (!IsLive(a)) {
            continue;
        }
        const int h = HALF_WIDTH[a.type];
        if (a.y <= y && y <= a.y + ALIEN_H && a.x - h <= x && x < a.x + h) {
            s.explodeIndex = i;
            s.explodeTimer = FLEET_EXPLODE_FRAMES;
            return FleetHitCode(a.type);
        }
    }
    return 0;
}

int Fleet_FrontY() {
    for (const Alien &a : s.aliens) {
        if (a.type != 0) {
            return a.y;
        }
    }
    return 0;
}

int Fleet_UpdateDirection() {
    int found = 0;
    int minX = 0;
    int maxX = 0;
    for (const Alien &a : s.aliens) {
        if (!IsLive(a)) {
            continue;
        }
        if (!found || a.x < minX) {
            minX = a.x;
        }
        if (!found || a.x > maxX) {
            maxX = a.x;
        }
        found = 1;
    }
    // With no live alien there is no edge to turn at.
    if (!found) {
        return s.marchFlags;
    }
    if ((s.marchFlags & MARCH_LEFT) && minX < TURN_LEFT_BELOW) {
        s.marchFlags = MARCH_DOWN;
    } else if (!(s.marchFlags & MARCH_LEFT) && maxX > TURN_RIGHT_ABOVE) {
        s.marchFlags = MARCH_DOWN | MARCH_LEFT;
    }
    return s.marchFlags;
}

void Fleet_DropBombs() {
    s.bombTimer += 1;
    if (s.bombTimer <= Fleet_Count() + BOMB_EXTRA) {
        return;
    }
    s.bombTimer = 0;
    int c = (s.sweepCount ^ BOMB_SEED) % FLEET_COLS;
    if (c < 0) {
        c += FLEET_COLS;
    }
    // The lowest live alien of the column drops it; an empty column passes
    // the attempt to the next one to the right.
    for (int tries = 0; tries < FLEET_COLS; ++tries) {
        for (int r = 0; r < FLEET_ROWS; ++r) {
            const Alien &a = s.aliens[r * FLEET_COLS + c];
            if (IsLive(a)) {
                Bomb_Drop(a.x, a.y + ALIEN_H);
                return;
            }
        }
        c = (c + 1) % FLEET_COLS;
    }
}

void Fleet_MarchSound() {
    if (s.notePending == 1 && s.noteTimer > NOTE_GAP) {
        Snd_Play(SND_CH_MARCH, MARCH_NOTES[s.noteIndex & 3]);
        s.noteIndex = (s.noteIndex + 1) % 4;
        s.noteTimer = 0;
        s.notePending = 0;
    }
}

const FleetView &Fleet_View() { return s; }
