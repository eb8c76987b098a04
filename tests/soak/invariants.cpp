#include "tests/soak/invariants.h"

#include <array>

#include "game/cannon.h"
#include "game/entry.h"
#include "game/fleet.h"
#include "game/game.h"
#include "game/shots.h"
#include "game/ufo.h"
#include "platform/gfx.h"
#include "assets/sounds.h"
#include "platform/snd.h"

namespace {

struct Checker {
    long failures = 0;
    std::string first;
    long draws = 0;
    long sounds = 0;
    long pass = 0;
    bool inGame = false;  // a game has started since the program did
    int lastScore = 0;
    int lastHiScore = 0;
    long games = 0;
};

Checker check;

void Fail(const std::string &what) {
    if (check.failures++ == 0) check.first = "pass " + std::to_string(check.pass) + ": " + what;
}

void Expect(bool ok, const char *what, long value) {
    if (!ok) Fail(std::string(what) + " (value " + std::to_string(value) + ")");
}

bool In(long v, long lo, long hi) { return v >= lo && v <= hi; }

void OnDraw(const DrawCommand &c) {
    ++check.draws;
    if (c.x < 0 || c.y < 0 || c.w <= 0 || c.h <= 0 || c.x + c.w > SCREEN_W || c.y + c.h > SCREEN_H) {
        Fail("draw outside the screen: x " + std::to_string(c.x) + " y " + std::to_string(c.y) + " w " +
             std::to_string(c.w) + " h " + std::to_string(c.h));
    }
}

void OnSound(int channel, int id, int result) {
    ++check.sounds;
    if (!In(channel, 0, 3) || !In(id, 0, 12) || result != 0) {
        Fail("bad sound call: channel " + std::to_string(channel) + " id " + std::to_string(id) + " result " +
             std::to_string(result));
    }
}

constexpr GfxObserver OBSERVER{nullptr, nullptr, OnDraw};

void CheckEntities() {
    const CannonView c = Cannon_View();
    Expect(In(c.x, 1, 226), "cannon x", c.x);
    Expect(In(c.blinkTimer, 0, 60), "cannon blink timer", c.blinkTimer);
    Expect(In(c.blastTimer, 0, 90), "cannon blast timer", c.blastTimer);
    Expect(In(c.fireHeld, 0, 1), "cannon fire held", c.fireHeld);

    const ShotsView s = Shots_View();
    Expect(In(s.shot.state, 0, 1), "shot state", s.shot.state);
    if (s.shot.state == 1) {
        Expect(In(s.shot.x, 7, 232), "shot x", s.shot.x);
        Expect(In(s.shot.y, 8, 208), "shot y", s.shot.y);
    }
    Expect(In(s.shotPause, 0, 20), "shot pause", s.shotPause);
    for (const Missile &b : s.bombs) {
        Expect(In(b.state, 0, 2), "bomb state", b.state);
        if (b.state != 0) {
            Expect(In(b.x, 12, 228), "bomb x", b.x);
            Expect(In(b.y, 44, 216), "bomb y", b.y);
        }
    }

    const FleetView f = Fleet_View();
    Expect(In(f.cursor, -1, FLEET_SIZE - 1), "fleet cursor", f.cursor);
    Expect(In(f.marchFlags, 0, 3), "march flags", f.marchFlags);
    Expect(In(f.explodeTimer, 0, 20), "explode timer", f.explodeTimer);
    Expect(In(f.noteIndex, 0, 3), "note index", f.noteIndex);
    for (const Alien &a : f.aliens) {
        Expect(In(a.type, 0, 3), "alien type", a.type);
        if (a.type != 0) {
            Expect(In(a.x, 12, 228), "alien x", a.x);
            Expect(In(a.y, 44, 215), "alien y", a.y);
        }
    }

    const UfoView u = Ufo_View();
    Expect(u.ufoX == UFO_PARKED_X || In(u.ufoX, 8, 232), "ufo x", u.ufoX);
    Expect(In(u.ufoDir, 0, 1), "ufo direction", u.ufoDir);
    Expect(In(u.waitTimer, 0, 1500), "ufo wait", u.waitTimer);
    Expect(In(u.flightTimer, 0, 224), "ufo flight", u.flightTimer);
    Expect(In(u.hitTimer, 0, 90), "ufo hit display", u.hitTimer);
    Expect(u.shotCount >= 0, "shot count", u.shotCount);
}

}  // namespace

void Invariants_Install() {
    Gfx_SetObserver(&OBSERVER);
    Snd_SetPlayObserver(OnSound);
}

void Invariants_AfterPass(int acted) {
    int queued = 0;
    Gfx_QueueCount(&queued);
    Expect(In(queued, 0, GFX_SLOTS - 1), "queued draw commands", queued);

    const GameView g = Game_View();
    if (acted == STATE_GAME_ENTER) {
        check.inGame = true;
        check.lastScore = 0;
        ++check.games;
    }
    Expect(g.lives >= -1 && g.lives <= 2, "lives", g.lives);
    Expect(g.score >= check.lastScore, "score fell within a game", g.score);
    Expect(g.hiScore >= check.lastHiScore, "high score fell", g.hiScore);
    check.lastScore = g.score;
    check.lastHiScore = g.hiScore;
    if (check.inGame) CheckEntities();
    ++check.pass;
}

void Invariants_Restart() {
    check.inGame = false;
    check.lastScore = 0;
    check.lastHiScore = 0;
}

long Invariants_Games() { return check.games; }
long Invariants_Failures() { return check.failures; }
const std::string &Invariants_FirstFailure() { return check.first; }
long Invariants_Draws() { return check.draws; }
long Invariants_Sounds() { return check.sounds; }

std::uint8_t SeededChaos::Next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return static_cast<std::uint8_t>((state_ * 0x2545F4914F6CDD1DULL) >> 56);
}

bool Chaos_MakeEvent(ChaosSource &source, bool allowQuit, SDL_Event *event) {
    // Mostly the keys the game reads, so that play goes on; the rest of the
    // time anything at all.
    static constexpr std::array<int, 9> PLAY_KEYS{SDLK_LEFT, SDLK_RIGHT, SDLK_z, SDLK_SPACE, SDLK_UP,
                                                  SDLK_DOWN, SDLK_x,     SDLK_c, SDLK_v};
    *event = SDL_Event{};
    const std::uint8_t kind = source.Next();
    const std::uint8_t a = source.Next();
    const std::uint8_t b = source.Next();
    const bool down = (kind & 0x80) != 0;
    switch (kind & 0x0F) {
    case 0:
    case 1:
    case 2:
    case 3:
        event->type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event->key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event->key.keysym.sym = static_cast<SDLKey>(PLAY_KEYS[a % PLAY_KEYS.size()]);
        return true;
    case 4:  // any key code at all, quit keys only when allowed
        event->type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event->key.state = (b & 1) ? SDL_PRESSED : SDL_RELEASED;
        event->key.keysym.sym = static_cast<SDLKey>((a | ((b & 0x06) << 7)) % SDLK_LAST);
        if (!allowQuit && (event->key.keysym.sym == SDLK_ESCAPE || event->key.keysym.sym == SDLK_q)) {
            event->key.keysym.sym = SDLK_LEFT;
        }
        return true;
    case 5:
    case 6:
    case 7:  // joystick buttons of pads 0-3, states that may not match
        event->type = down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
        event->jbutton.which = static_cast<Uint8>((kind >> 4) & 0x03);
        event->jbutton.button = static_cast<Uint8>(a % 20);
        event->jbutton.state = (b & 0x80) ? static_cast<Uint8>(b) : (down ? SDL_PRESSED : SDL_RELEASED);
        return true;
    case 8:
    case 9: {  // axes of pads 0-3, extreme values included
        event->type = SDL_JOYAXISMOTION;
        event->jaxis.which = static_cast<Uint8>((kind >> 4) & 0x03);
        event->jaxis.axis = static_cast<Uint8>(a % 4);
        const std::uint8_t c = source.Next();
        event->jaxis.value = static_cast<Sint16>(static_cast<std::uint16_t>((b << 8) | c));
        return true;
    }
    case 10:  // device numbers far above the two pads
        event->type = (a & 1) ? SDL_JOYBUTTONDOWN : SDL_JOYAXISMOTION;
        event->jbutton.which = static_cast<Uint8>(a | 2);
        event->jbutton.button = b;
        event->jbutton.state = SDL_PRESSED;
        return true;
    case 11:  // unknown and unread event types
        // Within SDL's range: SDL selects queued events by a 32-bit mask of
        // their types, so a larger type is an undefined shift there (on
        // 32-bit ARM such events never leave the queue).
        event->type = static_cast<Uint8>(a % SDL_NUMEVENTS);
        if (event->type == SDL_QUIT && !allowQuit) event->type = SDL_USEREVENT;
        // A window-system event carries a pointer that SDL itself follows
        // when the event is pushed; no real source sends one without it.
        if (event->type == SDL_SYSWMEVENT) event->type = SDL_USEREVENT;
        event->user.code = b;
        return true;
    case 12:
        if (!allowQuit) return false;
        event->type = SDL_QUIT;
        return true;
    default: return false;  // a pass with nothing new
    }
}
