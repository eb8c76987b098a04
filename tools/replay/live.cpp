#include "tools/replay/live.h"

#include <array>
#include <atomic>
#include <cstdlib>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/pad.h"
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

}  // namespace

int Live_Filter(const SDL_Event *e) {
    if (live.pushing && std::this_thread::get_id() == live.pusher) return 1;
    std::lock_guard<std::mutex> guard(live.lock);
    if (live.mode == LIVE_WATCH) {
        if (e->type == SDL_QUIT || (e->type == SDL_KEYDOWN && IsQuitKey(e->key.keysym.sym))) live.stop = true;
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

bool Live_Open(int mode, const std::string &recordPath, int padLayout, std::string *error) {
    live.mode = mode;
    live.head = live.count = 0;
    live.dropped = 0;
    live.stop = false;
    live.pusher = std::this_thread::get_id();
    live.path = recordPath;
    if (mode == LIVE_OFF) return true;
    if (mode == LIVE_RECORD) {
        if (!OpenOutput(recordPath, "--record", &live.out, error)) return false;
        std::fputs("# recorded by zultmirax-replay --record; replay it with --input\n", live.out);
        // The joystick lines' numbering, which a replay reads from here.
        std::fprintf(live.out, "# pad-layout %s\n", PAD_LAYOUT_NAMES[padLayout].data());
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
        std::lock_guard<std::mutex> guard(live.lock);
        return !live.stop;
    }
    bool wrote = false;
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
        live.pushing = true;
        const int pushed = Replay_PushEvent(parsed[0].event);
        live.pushing = false;
        if (pushed != 0) break;  // SDL's queue is full: the rest enter at the next pass
        PopFront();
        std::fputs(line.c_str(), live.out);
        std::fputc('\n', live.out);
        wrote = true;
    }
    if (wrote) std::fflush(live.out);  // a recording survives a crash up to here
    return true;
}

bool Live_Close(long passes) {
    if (live.mode == LIVE_OFF) return true;
    SDL_SetEventFilter(nullptr);
    if (live.dropped > 0) {
        std::fprintf(stderr, "%s: --record: %ld input events came faster than the game took them and were dropped\n",
                     PROGRAM, live.dropped);
    }
    if (live.out != nullptr) {
        std::fprintf(live.out, "# %ld passes; replay with --passes %ld\n", passes, passes);
    }
    live.mode = LIVE_OFF;
    return CloseOutput(live.out, live.path);
}

void Live_Abandon() {
    SDL_SetEventFilter(nullptr);
    live.mode = LIVE_OFF;
    if (live.out != nullptr) std::fclose(live.out);
    live.out = nullptr;
}

}  // namespace replay
