#include "tests/e2e/bot.h"

#include <SDL.h>

#include <array>
#include <cstdlib>

#include "game/cannon.h"
#include "game/entry.h"
#include "game/fleet.h"
#include "game/shield.h"
#include "game/shots.h"
#include "tools/replay/replay.h"

namespace {

constexpr int HORIZON = 90;  // frames of march predicted
constexpr int CANNON_MIN = 1;
constexpr int CANNON_MAX = 226;
constexpr int DANGER_FROM_Y = 110;  // bombs above this row are ignored

// The fleet's march as the game steps it, without hits.
struct March {
    std::array<Alien, FLEET_SIZE> aliens;
    int cursor;
    int flags;
    int explodeTimer;
    int explodeIndex;
};

void TurnIfAtEdge(March &m) {
    int lo = 1 << 20;
    int hi = -(1 << 20);
    for (const Alien &a : m.aliens) {
        if (a.type == 0) continue;
        lo = a.x < lo ? a.x : lo;
        hi = a.x > hi ? a.x : hi;
    }
    if ((m.flags & MARCH_LEFT) != 0 && lo < 16) m.flags = MARCH_DOWN;
    else if ((m.flags & MARCH_LEFT) == 0 && hi > 224) m.flags = MARCH_DOWN | MARCH_LEFT;
}

void Step(March &m) {
    if (m.cursor < 0) return;
    if (m.explodeTimer > 0) {
        if (--m.explodeTimer <= 0) m.aliens[static_cast<std::size_t>(m.explodeIndex)].type = 0;
        return;
    }
    Alien &a = m.aliens[static_cast<std::size_t>(m.cursor)];
    if (a.type != 0) {
        if ((m.flags & MARCH_DOWN) != 0) a.y = static_cast<std::int16_t>(a.y + 8);
        else a.x = static_cast<std::int16_t>(a.x + ((m.flags & MARCH_LEFT) != 0 ? -4 : 4));
    }
    for (int k = 1; k <= FLEET_SIZE; ++k) {
        const int i = (m.cursor + k) % FLEET_SIZE;
        if (i == 0) {
            m.flags &= MARCH_LEFT;
            TurnIfAtEdge(m);
        }
        if (m.aliens[static_cast<std::size_t>(i)].type != 0) {
            m.cursor = i;
            return;
        }
    }
    m.cursor = -1;
}

int FrontY(const March &m) {
    for (const Alien &a : m.aliens) {
        if (a.type != 0) return a.y;
    }
    return 0;
}

constexpr std::array<int, 4> HALF_WIDTH{0, 6, 5, 4};

// Whether a standing shield block stops a shot flying up column sx.
bool ShieldInColumn(int sx) {
    for (const ShieldBlock &b : Shield_View().blocks) {
        if (b.alive != 0 && b.x <= sx && sx < b.x + 4) return true;
    }
    return false;
}

}  // namespace

void Bot::Key(long pass, int sym, bool down, bool *held, const char *name) {
    if (*held == down) return;
    *held = down;
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = static_cast<SDLKey>(sym);
    Replay_PushEvent(e);
    script_ += std::to_string(pass) + " key " + (down ? "down " : "up ") + name + "\n";
}

bool Bot::Danger(int cx) const {
    const ShotsView shots = Shots_View();
    for (const Missile &b : shots.bombs) {
        if (b.state == 0 || b.y < DANGER_FROM_Y) continue;
        // Hit columns are cx + 1 .. cx + 12; keep two pixels of margin.
        if (cx >= b.x - 14 && cx <= b.x + 1) return true;
    }
    return false;
}

int Bot::DodgeDirection(int cx) const {
    const ShotsView shots = Shots_View();
    int best = 0;
    int bestDistance = 1 << 20;
    for (const Missile &b : shots.bombs) {
        if (b.state == 0 || b.y < DANGER_FROM_Y) continue;
        if (cx < b.x - 14 || cx > b.x + 1) continue;
        for (int target : {b.x + 2, b.x - 15}) {
            if (target < CANNON_MIN || target > CANNON_MAX || Danger(target)) continue;
            const int distance = std::abs(target - cx);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = target > cx ? 1 : -1;
            }
        }
    }
    return best;
}

bool Bot::Plan(int cx, int earliest, int *target, int *delay) const {
    const FleetView view = Fleet_View();
    March m{view.aliens, view.cursor, view.marchFlags, view.explodeTimer, view.explodeIndex};
    int bestDelay = 1 << 20;
    int bestTarget = 0;
    // Frame f tests the shot against the fleet as it stands after f steps.
    for (int f = 0; f < HORIZON && f < bestDelay + 52; ++f) {
        const int front = FrontY(m);
        for (const Alien &a : m.aliens) {
            if (a.type == 0 || a.type > 3) continue;
            const int h = HALF_WIDTH[a.type];
            // Shot rows are multiples of 4: 204, 200, ... 4.
            const int top = a.y + 8 < front + 7 ? a.y + 8 : front + 7;
            for (int sy = (a.y + 3) / 4 * 4; sy <= top && sy <= 204; sy += 4) {
                if (sy < 4) continue;
                const int d = f - (204 - sy) / 4;
                if (d < earliest || d > bestDelay) continue;
                // Columns of the barrel that would hit, reachable in d + 1 moves.
                for (int sx = a.x - h; sx < a.x + h; ++sx) {
                    const int p = sx - 6;
                    if (p < CANNON_MIN || p > CANNON_MAX || std::abs(p - cx) > d + 1) continue;
                    if (sy < 192 && ShieldInColumn(sx)) continue;
                    if (d < bestDelay || std::abs(p - cx) < std::abs(bestTarget - cx)) {
                        bestDelay = d;
                        bestTarget = p;
                    }
                }
            }
        }
        Step(m);
    }
    if (bestDelay == (1 << 20)) return false;
    *target = bestTarget;
    *delay = bestDelay;
    return true;
}

void Bot::BeforePass(long pass, int entryState) {
    if (entryState != STATE_GAME) {
        // Hold fire to get through the screens quickly; release it as the
        // game starts so the first press is a new one.
        const bool want = entryState != STATE_GAME_ENTER;
        Key(pass, SDLK_z, want, &fire_, "z");
        Key(pass, SDLK_LEFT, false, &left_, "left");
        Key(pass, SDLK_RIGHT, false, &right_, "right");
        return;
    }
    const CannonView cannon = Cannon_View();
    int dir = 0;
    bool fire = false;
    if (cannon.blastTimer <= 0) {
        const int cx = cannon.x;
        if (options_.dodge && Danger(cx)) {
            dir = DodgeDirection(cx);
        } else if (options_.shoot) {
            const ShotsView shots = Shots_View();
            int target = cx;
            int delay = 0;
            // A new press needs the key up at the previous read.
            const int earliest = fire_ ? 1 : 0;
            const int pause = shots.shotPause > earliest ? shots.shotPause : earliest;
            if (shots.shot.state == 0 && Plan(cx, pause, &target, &delay)) {
                dir = target > cx ? 1 : target < cx ? -1 : 0;
                fire = delay == 0 && cx + dir == target;
            } else {
                // Stand under the nearest alien until a shot can be aimed.
                const FleetView view = Fleet_View();
                int best = 1 << 20;
                for (const Alien &a : view.aliens) {
                    if (a.type != 0 && std::abs(a.x - 6 - cx) < std::abs(best - cx)) best = a.x - 6;
                }
                if (best != (1 << 20)) dir = best > cx ? 1 : best < cx ? -1 : 0;
            }
            if (options_.dodge && dir != 0 && Danger(cx + dir)) dir = 0;
        }
    }
    Key(pass, SDLK_LEFT, dir < 0, &left_, "left");
    Key(pass, SDLK_RIGHT, dir > 0, &right_, "right");
    Key(pass, SDLK_z, fire, &fire_, "z");
}
