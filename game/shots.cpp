// The cannon's single shot and the aliens' bombs: moved, tested against
// whatever they can hit, and redrawn once a frame.
#include "game/shots.h"

#include "assets/sounds.h"
#include "assets/sprites.h"
#include "game/cannon.h"
#include "game/counter.h"
#include "game/fleet.h"
#include "game/shield.h"
#include "game/test_seam.h"
#include "game/ufo.h"
#include "platform/snd.h"

namespace {

enum : int {
    SHOT_SPEED = 4,
    SHOT_TOP = 8,                       // a shot whose top goes above this has left the field
    SHOT_PAUSE = FLEET_EXPLODE_FRAMES,  // the next shot waits out the explosion of the alien hit
    BOMB_SPEED = 3,
    BOMB_BOTTOM = 216,  // a bomb whose top goes below this is gone
    MISSILE_H = 8,
    MISSILE_HALF_W = 1,
};

enum : int {
    RESULT_OK = 0,
    RESULT_REFUSED = 2,
};

// The missiles' state is exactly what their view shows; the view hands out
// a copy.
ShotsView s;

int UpdateShot() {
    if (s.shotPause > 0) {
        s.shotPause -= 1;
        return 0;
    }
    Missile &m = s.shot;
    if (m.state == 0) {
        return 0;
    }
    Spr_Shot(m.x - MISSILE_HALF_W, m.y, SHOT_FRAME_ERASE);
    m.y = static_cast<std::int16_t>(m.y - SHOT_SPEED);

    // Shield, fleet and ship are each asked, whatever the earlier ones found.
    int points = 0;
    int hit = 0;
    if (Shield_HitTest(m.x, m.y) != 0) {
        m.state = 0;
        hit = 1;
    }
    const int code = Fleet_HitTest(m.x, m.y);
    if (code != 0) {
        Snd_Play(SND_CH_HIT, SND_ALIEN_HIT);
        s.shotPause = SHOT_PAUSE;
        m.state = 0;
        hit = 1;
        points = FleetHitPoints(code);
    }
    if (Ufo_HitTest(m.x, m.y) == 1) {
        Snd_Play(SND_CH_SHIP, SND_UFO_HIT);
        points += Ufo_Points();
        m.state = 0;
        hit = 1;
    }

    if (m.y < SHOT_TOP) {
        m.state = 0;
    } else if (hit == 0) {
        Spr_Shot(m.x - MISSILE_HALF_W, m.y, SHOT_FRAME_SHOT);
    }
    return points;
}

void UpdateBomb(Missile &m) {
    Spr_Shot(m.x - MISSILE_HALF_W, m.y, SHOT_FRAME_ERASE);
    m.y = static_cast<std::int16_t>(m.y + BOMB_SPEED);
    m.anim = static_cast<std::uint8_t>(m.anim + 1);

    // A bomb is tested at the row just below its picture.
    int hit = 0;
    if (Shield_HitTest(m.x, m.y + MISSILE_H) != 0) {
        m.state = 0;
        hit = 1;
    }
    if (Cannon_HitTest(m.x, m.y + MISSILE_H) != 0) {
        m.state = 0;
        hit = 1;
    }

    if (m.y > BOMB_BOTTOM) {
        m.state = 0;
    } else if (hit == 0) {
        const int base = (m.state == 1) ? SHOT_FRAME_BOMB_1 : SHOT_FRAME_BOMB_2;
        Spr_Shot(m.x - MISSILE_HALF_W, m.y, base + (m.anim & 1));
    }
}

}  // namespace

int Shots_Reset() {
    s.shot.state = 0;
    for (Missile &b : s.bombs) {
        b.state = 0;
    }
    s.bombCounter = 0;
    s.shotPause = 0;
    return RESULT_OK;
}

int Shot_Fire(int x, int y) {
    if (s.shot.state == 1) {
        return RESULT_REFUSED;
    }
    s.shot = {static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), 1, 0};
    Snd_Play(SND_CH_CANNON, SND_CANNON_SHOT);
    Ufo_CountShot();
    return RESULT_OK;
}

int Bomb_Drop(int x, int y) {
    for (Missile &b : s.bombs) {
        if (b.state == 0) {
            // The counter's parity picks the kind.
            const auto kind = static_cast<std::uint8_t>((s.bombCounter & 1) + 1);
            b = {static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), kind, 0};
            s.bombCounter = Count_Next(s.bombCounter);
            return RESULT_OK;
        }
    }
    return RESULT_REFUSED;
}

int Shots_Update() {
    const int points = UpdateShot();
    s.bombCounter = Count_Next(s.bombCounter);
    for (Missile &b : s.bombs) {
        if (b.state != 0) {
            UpdateBomb(b);
        }
    }
    return points;
}

const ShotsView &Shots_View() { return s; }

void Shots_SetBombCounterForTest(int value) { s.bombCounter = value; }
