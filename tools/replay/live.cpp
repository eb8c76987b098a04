#include "tools/replay/live.h"

#include <stdio_ext.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/gfx.h"
#include "platform/pad.h"
#include "platform/window.h"
#include "tools/replay/output.h"
#include "tools/replay/replay.h"

namespace replay {

namespace {

// Held events beyond this are dropped with a message (more than a person can
// type between two frames); a quit is never dropped.
constexpr std::size_t HELD_MAX = 1024;

struct Live {
    int mode = LIVE_OFF;
    std::mutex lock;  // SDL may run the filter on a thread of its own
    std::array<SDL_Event, HELD_MAX> held{};
    std::size_t head = 0;
    std::size_t count = 0;
    long dropped = 0;
    bool stop = false;
    // Our own pushes pass the filter (where SDL runs it for pushed events).
    std::atomic<bool> pushing{false};
    std::thread::id pusher;
    FILE *out = nullptr;
    std::string path;
    std::string lines;        // the lines of one pass, written whole
    long kept = 0;            // bytes of whole lines known to be in the file
    long lostAt = -1;         // the pass whose lines could not be written, if any
    std::string lostWhy;      // and why
    bool fullscreen = false;  // watching: a fullscreen key came
};

Live live;

bool IsQuitKey(SDLKey sym) {
    for (const PadKey &k : PAD_KEYS) {
        if (k.sym == sym) return k.bit == 0;
    }
    return false;
}

bool Front(SDL_Event *e) {
    std::lock_guard<std::mutex> guard(live.lock);
    if (live.count == 0) return false;
    *e = live.held[live.head];
    return true;
}

void PopFront() {
    std::lock_guard<std::mutex> guard(live.lock);
    live.head = (live.head + 1) % HELD_MAX;
    live.count--;
}

const char *Direction(bool down) { return down ? "down" : "up"; }

std::string Shown(const std::string &path) { return path == "-" ? "standard output" : "'" + path + "'"; }

// Writes the pass's lines whole or not at all: on an error the file is cut
// back to the last whole line and nothing more is written, so that what it
// holds still replays up to the pass where it stopped.
void WriteLines(long pass) {
    if (live.lines.empty() || live.lostAt >= 0) return;
    const bool ok = std::fwrite(live.lines.data(), 1, live.lines.size(), live.out) == live.lines.size() &&
                    std::fflush(live.out) == 0;
    if (ok) {
        live.kept += static_cast<long>(live.lines.size());
    } else {
        live.lostWhy = std::strerror(errno);
        live.lostAt = pass;
        __fpurge(live.out);
        if (ftruncate(fileno(live.out), live.kept) != 0) live.lostWhy += "; the last line may be cut short";
        std::fprintf(stderr, "%s: --record: cannot write %s: %s; the recording keeps the events before pass %ld%s\n",
                     PROGRAM, Shown(live.path).c_str(), live.lostWhy.c_str(), pass,
                     live.mode == LIVE_OFF ? "" : " and stops there (the game goes on)");
    }
    live.lines.clear();
}

}  // namespace

int Live_Filter(const SDL_Event *e) {
    if (live.pushing && std::this_thread::get_id() == live.pusher) return 1;
    std::lock_guard<std::mutex> guard(live.lock);
    if (live.mode == LIVE_WATCH) {
        if (e->type == SDL_QUIT || (e->type == SDL_KEYDOWN && IsQuitKey(e->key.keysym.sym))) live.stop = true;
        if (e->type == SDL_KEYDOWN && Window_FullscreenKey(e->key.keysym.sym, e->key.keysym.mod))
            live.fullscreen = true;
        return 0;
    }
    std::string unused;
    if (!FormatEvent(0, *e, &unused)) return 0;  // nothing the game reads
    // The last place is kept for a quit, so that a flood never loses one.
    if (live.count + (e->type == SDL_QUIT ? 0 : 1) >= HELD_MAX) {
        if (e->type != SDL_QUIT) live.dropped++;
        return 0;
    }
    live.held[(live.head + live.count) % HELD_MAX] = *e;
    live.count++;
    return 0;
}

bool FormatEvent(long pass, const SDL_Event &e, std::string *line) {
    const std::string p = std::to_string(pass);
    switch (e.type) {
    case SDL_QUIT: *line = p + " quit"; return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const SDLKey sym = e.key.keysym.sym;
        if (sym < 0 || sym >= SDLK_LAST) return false;
        std::string name = std::to_string(static_cast<int>(sym));
        for (const PadKey &k : PAD_KEYS) {
            if (k.sym == sym) name = k.name;
        }
        *line = p + " key " + Direction(e.type == SDL_KEYDOWN) + " " + name;
        return true;
    }
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        *line = p + " joy " + Direction(e.type == SDL_JOYBUTTONDOWN) + " " + std::to_string(e.jbutton.which) + " " +
                std::to_string(e.jbutton.button);
        return true;
    case SDL_JOYAXISMOTION:
        *line = p + " axis " + std::to_string(e.jaxis.which) + " " + std::to_string(e.jaxis.axis) + " " +
                std::to_string(e.jaxis.value);
        return true;
    default: return false;
    }
}

void TurnOnControllerLayout() { setenv("SDL12COMPAT_USE_GAME_CONTROLLERS", "1", 0); }

bool Live_Allowed(int, std::string *) { return true; }

bool Live_Open(int mode, const std::string &recordPath, int padLayout, std::string *error) {
    live.mode = mode;
    live.head = live.count = 0;
    live.dropped = 0;
    live.stop = false;
    live.pusher = std::this_thread::get_id();
    live.path = recordPath;
    if (mode == LIVE_OFF) return true;
    live.lines.clear();
    live.kept = 0;
    live.lostAt = -1;
    live.fullscreen = false;
    if (mode == LIVE_RECORD) {
        if (recordPath == "-") live.out = stdout;
        else if (!OpenOutput(recordPath, "--record", &live.out, error)) return false;
        std::fputs("# recorded by zultmirax-replay --record; replay it with --input\n", live.out);
        // The joystick lines' numbering, which a replay reads from here.
        std::fprintf(live.out, "# pad-layout %s\n", PAD_LAYOUT_NAMES[padLayout].data());
        // The head is written now: a file that cannot take it is refused
        // before the game starts.
        if (std::fflush(live.out) != 0) {
            *error = "--record: cannot write " + Shown(recordPath) + ": " + std::strerror(errno);
            Live_Abandon();
            if (recordPath != "-") std::remove(recordPath.c_str());
            return false;
        }
        const long at = std::ftell(live.out);
        live.kept = at > 0 ? at : 0;
    }
    return true;
}

void Live_Arm() {
    if (live.mode != LIVE_OFF) SDL_SetEventFilter(Live_Filter);
}

bool Live_BeforePass(long pass) {
    if (live.mode == LIVE_OFF) return true;
    SDL_PumpEvents();  // what the system has now passes the filter
    if (live.mode == LIVE_WATCH) {
        bool toggle = false;
        {
            std::lock_guard<std::mutex> guard(live.lock);
            toggle = live.fullscreen;
            live.fullscreen = false;
            if (live.stop) return false;
        }
        // The watcher's keys never reach the game, so the switch the game
        // makes on them is made here, between passes.
        if (toggle) Gfx_ToggleFullscreen();
        return true;
    }
    SDL_Event e;
    while (Front(&e)) {
        // The event pushed is the one its line reads back as, so that the
        // replay pushes exactly what the game saw here.
        std::string line;
        std::vector<ReplayInput> parsed;
        std::string why;
        FormatEvent(pass, e, &line);
        if (Replay_ParseScript(line, &parsed, &why) != 0 || parsed.size() != 1) {
            std::fprintf(stderr, "%s: --record: cannot read back '%s': %s\n", PROGRAM, line.c_str(), why.c_str());
            PopFront();
            continue;
        }
        // The modifiers go with the key, though no line keeps them: the game
        // reads them only for Alt+Enter's switch to fullscreen, which
        // changes no pass.
        if (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) parsed[0].event.key.keysym.mod = e.key.keysym.mod;
        live.pushing = true;
        const int pushed = Replay_PushEvent(parsed[0].event);
        live.pushing = false;
        if (pushed != 0) break;  // SDL's queue is full: the rest enter at the next pass
        PopFront();
        live.lines += line;
        live.lines += '\n';
    }
    WriteLines(pass);  // a recording survives a crash up to here
    return true;
}

bool Live_Close(long passes) {
    if (live.mode == LIVE_OFF) return true;
    SDL_SetEventFilter(nullptr);
    if (live.dropped > 0) {
        std::fprintf(stderr, "%s: --record: %ld input events came faster than the game took them and were dropped\n",
                     PROGRAM, live.dropped);
    }
    live.mode = LIVE_OFF;
    if (live.out == nullptr) return true;
    if (live.lostAt >= 0) {
        std::fclose(live.out);
        live.out = nullptr;
        std::fprintf(stderr,
                     "%s: --record: %s holds only the events before pass %ld (%s); replay it with --passes %ld\n",
                     PROGRAM, Shown(live.path).c_str(), live.lostAt, live.lostWhy.c_str(), live.lostAt);
        return false;
    }
    live.lines = "# " + std::to_string(passes) + " passes; replay with --passes " + std::to_string(passes) + "\n";
    WriteLines(passes);
    if (live.lostAt >= 0) {
        std::fclose(live.out);
        live.out = nullptr;
        return false;
    }
    return CloseOutput(live.out, live.path);
}

void Live_Abandon() {
    SDL_SetEventFilter(nullptr);
    live.mode = LIVE_OFF;
    if (live.out != nullptr && live.out != stdout) std::fclose(live.out);
    live.out = nullptr;
}

}  // namespace replay
