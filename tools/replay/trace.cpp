// The trace's columns come from one table: each column's name beside the
// reader that writes its cell, so the header and the rows cannot drift apart.
#include "tools/replay/trace.h"

#include <array>
#include <cstdio>

#include "game/cannon.h"
#include "game/entry.h"
#include "game/fleet.h"
#include "game/game.h"
#include "game/shield.h"
#include "game/shots.h"
#include "game/ufo.h"
#include "platform/pad.h"
#include "tools/replay/output.h"
#include "tools/replay/text.h"

namespace replay {

namespace {

// Every view read once a row; the columns read from here.
struct Row {
    long pass;
    int state;
    long presents;
    const EntryView &entry;
    const GameView &game;
    const CannonView &cannon;
    const ShotsView &shots;
    const FleetView &fleet;
    int fleetCount;
    const ShieldView &shields;
    const UfoView &ufo;
    ButtonMask held;
};

// A cell writer appends its value at p and returns the new end.
struct Column {
    const char *name;
    char *(*put)(char *p, const Row &r);
};

char *PutAlienTypes(char *p, const Row &r) {
    for (const Alien &a : r.fleet.aliens) *p++ = static_cast<char>('0' + a.type % 10);
    return p;
}

long long AlienXSum(const Row &r) {
    long long sum = 0;
    for (const Alien &a : r.fleet.aliens) sum += a.x;
    return sum;
}

long long AlienYSum(const Row &r) {
    long long sum = 0;
    for (const Alien &a : r.fleet.aliens) sum += a.y;
    return sum;
}

char *PutShields(char *p, const Row &r) {
    for (const ShieldBlock &s : r.shields.blocks) *p++ = s.alive != 0 ? '1' : '0';
    return p;
}

constexpr std::array<Column, 48> COLUMNS{{
    {"pass", [](char *p, const Row &r) { return PutInt(p, r.pass); }},
    {"state", [](char *p, const Row &r) { return PutInt(p, r.state); }},
    {"presents", [](char *p, const Row &r) { return PutInt(p, r.presents); }},
    {"screen_timer", [](char *p, const Row &r) { return PutInt(p, r.entry.screenTimer); }},
    {"flash_timer", [](char *p, const Row &r) { return PutInt(p, r.entry.flashTimer); }},
    {"score", [](char *p, const Row &r) { return PutInt(p, r.game.score); }},
    {"hi_score", [](char *p, const Row &r) { return PutInt(p, r.game.hiScore); }},
    {"lives", [](char *p, const Row &r) { return PutInt(p, r.game.lives); }},
    {"wave", [](char *p, const Row &r) { return PutInt(p, r.game.wave); }},
    {"cannon_x", [](char *p, const Row &r) { return PutInt(p, r.cannon.x); }},
    {"blink_timer", [](char *p, const Row &r) { return PutInt(p, r.cannon.blinkTimer); }},
    {"blast_timer", [](char *p, const Row &r) { return PutInt(p, r.cannon.blastTimer); }},
    {"fire_held", [](char *p, const Row &r) { return PutInt(p, r.cannon.fireHeld); }},
    {"shot_state", [](char *p, const Row &r) { return PutInt(p, r.shots.shot.state); }},
    {"shot_x", [](char *p, const Row &r) { return PutInt(p, r.shots.shot.x); }},
    {"shot_y", [](char *p, const Row &r) { return PutInt(p, r.shots.shot.y); }},
    {"shot_pause", [](char *p, const Row &r) { return PutInt(p, r.shots.shotPause); }},
    {"bomb0_state", [](char *p, const Row &r) { return PutInt(p, r.shots.bombs[0].state); }},
    {"bomb0_x", [](char *p, const Row &r) { return PutInt(p, r.shots.bombs[0].x); }},
    {"bomb0_y", [](char *p, const Row &r) { return PutInt(p, r.shots.bombs[0].y); }},
    {"bomb0_anim", [](char *p, const Row &r) { return PutInt(p, r.shots.bombs[0].anim); }},
    {"bomb1_state", [](char *p, const Row &r) { return PutInt(p, r.shots.bombs[1].state); }},
    {"bomb1_x", [](char *p, const Row &r) { return PutInt(p, r.shots.bombs[1].x); }},
    {"bomb1_y", [](char *p, const Row &r) { return PutInt(p, r.shots.bombs[1].y); }},
    {"bomb1_anim", [](char *p, const Row &r) { return PutInt(p, r.shots.bombs[1].anim); }},
    {"bomb_counter", [](char *p, const Row &r) { return PutInt(p, r.shots.bombCounter); }},
    {"fleet_count", [](char *p, const Row &r) { return PutInt(p, r.fleetCount); }},
    {"cursor", [](char *p, const Row &r) { return PutInt(p, r.fleet.cursor); }},
    {"march_flags", [](char *p, const Row &r) { return PutInt(p, r.fleet.marchFlags); }},
    {"sweep_count", [](char *p, const Row &r) { return PutInt(p, r.fleet.sweepCount); }},
    {"explode_timer", [](char *p, const Row &r) { return PutInt(p, r.fleet.explodeTimer); }},
    {"explode_index", [](char *p, const Row &r) { return PutInt(p, r.fleet.explodeIndex); }},
    {"bomb_timer", [](char *p, const Row &r) { return PutInt(p, r.fleet.bombTimer); }},
    {"note_timer", [](char *p, const Row &r) { return PutInt(p, r.fleet.noteTimer); }},
    {"note_index", [](char *p, const Row &r) { return PutInt(p, r.fleet.noteIndex); }},
    {"note_pending", [](char *p, const Row &r) { return PutInt(p, r.fleet.notePending); }},
    {"alien_types", PutAlienTypes},
    {"alien_x_sum", [](char *p, const Row &r) { return PutInt(p, AlienXSum(r)); }},
    {"alien_y_sum", [](char *p, const Row &r) { return PutInt(p, AlienYSum(r)); }},
    {"shields", PutShields},
    {"ufo_x", [](char *p, const Row &r) { return PutInt(p, r.ufo.ufoX); }},
    {"ufo_y", [](char *p, const Row &r) { return PutInt(p, r.ufo.ufoY); }},
    {"ufo_dir", [](char *p, const Row &r) { return PutInt(p, r.ufo.ufoDir); }},
    {"shot_count", [](char *p, const Row &r) { return PutInt(p, r.ufo.shotCount); }},
    {"ufo_wait", [](char *p, const Row &r) { return PutInt(p, r.ufo.waitTimer); }},
    {"ufo_flight", [](char *p, const Row &r) { return PutInt(p, r.ufo.flightTimer); }},
    {"ufo_hit", [](char *p, const Row &r) { return PutInt(p, r.ufo.hitTimer); }},
    {"held", [](char *p, const Row &r) { return PutInt(p, r.held); }},
}};

// The widest row: 46 numbers of at most 20 characters, 60 alien digits, 48
// shield flags, the commas and the newline.
constexpr std::size_t ROW_MAX = 46 * 21 + 60 + 48 + 2 + 1;

struct TraceFile {
    FILE *file;
    std::string path;
};

TraceFile trace{nullptr, {}};

}  // namespace

bool Trace_Open(const std::string &path, std::string *error) {
    if (!OpenOutput(path, "--trace", &trace.file, error)) return false;
    trace.path = path;
    if (trace.file == nullptr) return true;
    for (std::size_t i = 0; i < COLUMNS.size(); ++i) {
        if (i > 0) std::fputc(',', trace.file);
        std::fputs(COLUMNS[i].name, trace.file);
    }
    std::fputc('\n', trace.file);
    return true;
}

void Trace_Row(long pass, int actedState, long presents) {
    if (trace.file == nullptr) return;
    const Row r{pass,         actedState,   presents,      Entry_View(),  Game_View(), Cannon_View(),
                Shots_View(), Fleet_View(), Fleet_Count(), Shield_View(), Ufo_View(),  Pad_Held(0)};
    std::array<char, ROW_MAX> buf;
    char *p = buf.data();
    for (std::size_t i = 0; i < COLUMNS.size(); ++i) {
        if (i > 0) *p++ = ',';
        p = COLUMNS[i].put(p, r);
    }
    *p++ = '\n';
    std::fwrite(buf.data(), 1, static_cast<std::size_t>(p - buf.data()), trace.file);
}

bool Trace_Close() { return CloseOutput(trace.file, trace.path); }

void Trace_Abandon() {
    if (trace.file != nullptr) std::fclose(trace.file);
    trace.file = nullptr;
}

}  // namespace replay
