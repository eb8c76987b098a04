// The replay runner. Everything the game does is observed through the
// modules' seams (clock, observers, sound device) and their read-only views;
// the game's own code runs unchanged.
#include "tools/replay/replay.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "game/cannon.h"
#include "game/entry.h"
#include "game/fleet.h"
#include "game/game.h"
#include "game/shield.h"
#include "game/shots.h"
#include "game/ufo.h"
#include "platform/gfx.h"
#include "platform/pad.h"
#include "platform/snd.h"

namespace {

constexpr const char *PROGRAM = "zultmirax-replay";
constexpr long MAX_COUNT = 2147483647L;

constexpr const char *USAGE =
    "usage: zultmirax-replay [--passes N] [--input FILE|-] [--trace FILE] [--events FILE]\n"
    "                        [--screenshot PASS:FILE.bmp]... [--audio FILE.wav]\n";

constexpr const char *TRACE_HEADER =
    "pass,state,presents,screen_timer,flash_timer,score,hi_score,lives,wave,cannon_x,blink_timer,"
    "blast_timer,fire_held,shot_state,shot_x,shot_y,shot_pause,bomb0_state,bomb0_x,bomb0_y,bomb0_anim,"
    "bomb1_state,bomb1_x,bomb1_y,bomb1_anim,bomb_counter,fleet_count,cursor,march_flags,sweep_count,"
    "explode_timer,explode_index,bomb_timer,note_timer,note_index,note_pending,alien_types,alien_x_sum,"
    "alien_y_sum,shields,ufo_x,ufo_y,ufo_dir,shot_count,ufo_wait,ufo_flight,ufo_hit,held\n";

constexpr const char *EVENTS_HEADER = "pass,event,a,b,c,d,e,f\n";

struct KeyName {
    const char *name;
    int sym;
};
constexpr std::array<KeyName, 11> KEY_NAMES{{
    {"up", SDLK_UP},
    {"down", SDLK_DOWN},
    {"left", SDLK_LEFT},
    {"right", SDLK_RIGHT},
    {"z", SDLK_z},
    {"space", SDLK_SPACE},
    {"x", SDLK_x},
    {"c", SDLK_c},
    {"v", SDLK_v},
    {"q", SDLK_q},
    {"escape", SDLK_ESCAPE},
}};

struct Run {
    ReplayOptions options;
    std::vector<ReplayInput> script;
    std::size_t nextInput = 0;
    FILE *trace = nullptr;
    FILE *events = nullptr;
    FILE *audio = nullptr;
    std::uint32_t audioBytes = 0;
    std::array<std::uint8_t, SND_BLOCK> audioBlock{};
    std::uint32_t now = 0;  // virtual milliseconds
    long pass = 0;          // the pass running now, or the next one between passes
    int state = STATE_RESET;
    long presents = 0;
    bool started = false;
    bool finished = false;
    bool failed = false;  // a write or an event push went wrong
};

Run run;

// ---- parsing -----------------------------------------------------------

// A whole decimal number in [lo, hi]; an optional sign, nothing else.
bool ParseNumber(const std::string &text, long lo, long hi, long *out) {
    if (text.empty() || text.size() > 20) return false;
    std::size_t i = 0;
    if (text[0] == '-' || text[0] == '+') i = 1;
    if (i == text.size()) return false;
    for (std::size_t k = i; k < text.size(); ++k) {
        if (text[k] < '0' || text[k] > '9') return false;
    }
    errno = 0;
    char *end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
    *out = static_cast<long>(v);
    return true;
}

std::vector<std::string> Split(const std::string &line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string w;
    while (in >> w) words.push_back(w);
    return words;
}

// The "down|up" word of key and joy lines.
bool ParseDirection(const std::string &word, bool *down, std::string *why) {
    *down = word == "down";
    if (*down || word == "up") return true;
    *why = "expected 'down' or 'up', got '" + word + "'";
    return false;
}

// Parses the arguments of one script line after its pass number.
bool ParseEvent(const std::vector<std::string> &w, SDL_Event *e, std::string *why) {
    *e = SDL_Event{};
    const std::string &kind = w[1];
    long a = 0;
    long b = 0;
    long c = 0;
    if (kind == "quit") {
        if (w.size() != 2) return *why = "'quit' takes nothing after it", false;
        e->type = SDL_QUIT;
        return true;
    }
    if (kind == "key") {
        if (w.size() != 4) return *why = "expected 'PASS key down|up NAME'", false;
        bool down = false;
        if (!ParseDirection(w[2], &down, why)) return false;
        int sym = -1;
        for (const KeyName &k : KEY_NAMES) {
            if (w[3] == k.name) sym = k.sym;
        }
        if (sym < 0) {
            if (!ParseNumber(w[3], 0, SDLK_LAST - 1, &a)) {
                return *why = "unknown key '" + w[3] + "' (a key name or an SDL key code 0-" +
                              std::to_string(SDLK_LAST - 1) + ")",
                       false;
            }
            sym = static_cast<int>(a);
        }
        e->type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e->key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e->key.keysym.sym = static_cast<SDLKey>(sym);
        return true;
    }
    if (kind == "joy") {
        if (w.size() != 5) return *why = "expected 'PASS joy down|up PAD BUTTON'", false;
        bool down = false;
        if (!ParseDirection(w[2], &down, why)) return false;
        if (!ParseNumber(w[3], 0, 255, &a)) return *why = "PAD must be 0-255, got '" + w[3] + "'", false;
        if (!ParseNumber(w[4], 0, 255, &b)) return *why = "BUTTON must be 0-255, got '" + w[4] + "'", false;
        e->type = down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
        e->jbutton.which = static_cast<Uint8>(a);
        e->jbutton.button = static_cast<Uint8>(b);
        e->jbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
        return true;
    }
    if (kind == "axis") {
        if (w.size() != 5) return *why = "expected 'PASS axis PAD AXIS VALUE'", false;
        if (!ParseNumber(w[2], 0, 255, &a)) return *why = "PAD must be 0-255, got '" + w[2] + "'", false;
        if (!ParseNumber(w[3], 0, 255, &b)) return *why = "AXIS must be 0-255, got '" + w[3] + "'", false;
        if (!ParseNumber(w[4], -32768, 32767, &c)) {
            return *why = "VALUE must be -32768-32767, got '" + w[4] + "'", false;
        }
        e->type = SDL_JOYAXISMOTION;
        e->jaxis.which = static_cast<Uint8>(a);
        e->jaxis.axis = static_cast<Uint8>(b);
        e->jaxis.value = static_cast<Sint16>(c);
        return true;
    }
    *why = "unknown event '" + kind + "' (key, joy, axis or quit)";
    return false;
}

// ---- output ------------------------------------------------------------

// Appends a decimal integer; the trace is written without printf.
char *PutInt(char *p, long long v) {
    char digits[24];
    int n = 0;
    const bool negative = v < 0;
    unsigned long long u = negative ? 0ull - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    do {
        digits[n++] = static_cast<char>('0' + u % 10);
        u /= 10;
    } while (u != 0);
    if (negative) *p++ = '-';
    while (n > 0) *p++ = digits[--n];
    return p;
}

char *PutField(char *p, long long v) {
    *p++ = ',';
    return PutInt(p, v);
}

// One event log row: pass, name, then up to six fields, the rest empty.
void LogEvent(const char *name, int used, const long long *fields, char picture = 0) {
    if (run.events == nullptr) return;
    char buf[160];
    char *p = PutInt(buf, run.pass);
    *p++ = ',';
    for (const char *s = name; *s != '\0'; ++s) *p++ = *s;
    int k = 0;
    if (picture != 0) {
        *p++ = ',';
        *p++ = picture;
        k = 1;
    }
    for (int i = 0; i < used; ++i, ++k) p = PutField(p, fields[i]);
    for (; k < 6; ++k) *p++ = ',';
    *p++ = '\n';
    std::fwrite(buf, 1, static_cast<std::size_t>(p - buf), run.events);
}

void WriteTraceRow(int actedState) {
    if (run.trace == nullptr) return;
    static char buf[1024];
    char *p = PutInt(buf, run.pass);
    p = PutField(p, actedState);
    p = PutField(p, run.presents);

    const EntryView entry = Entry_View();
    p = PutField(p, entry.screenTimer);
    p = PutField(p, entry.flashTimer);

    const GameView game = Game_View();
    p = PutField(p, game.score);
    p = PutField(p, game.hiScore);
    p = PutField(p, game.lives);
    p = PutField(p, game.wave);

    const CannonView cannon = Cannon_View();
    p = PutField(p, cannon.x);
    p = PutField(p, cannon.blinkTimer);
    p = PutField(p, cannon.blastTimer);
    p = PutField(p, cannon.fireHeld);

    const ShotsView shots = Shots_View();
    p = PutField(p, shots.shot.state);
    p = PutField(p, shots.shot.x);
    p = PutField(p, shots.shot.y);
    p = PutField(p, shots.shotPause);
    for (const Missile &b : shots.bombs) {
        p = PutField(p, b.state);
        p = PutField(p, b.x);
        p = PutField(p, b.y);
        p = PutField(p, b.anim);
    }
    p = PutField(p, shots.bombCounter);

    const FleetView fleet = Fleet_View();
    p = PutField(p, Fleet_Count());
    p = PutField(p, fleet.cursor);
    p = PutField(p, fleet.marchFlags);
    p = PutField(p, fleet.sweepCount);
    p = PutField(p, fleet.explodeTimer);
    p = PutField(p, fleet.explodeIndex);
    p = PutField(p, fleet.bombTimer);
    p = PutField(p, fleet.noteTimer);
    p = PutField(p, fleet.noteIndex);
    p = PutField(p, fleet.notePending);
    *p++ = ',';
    long long xSum = 0;
    long long ySum = 0;
    for (const Alien &a : *fleet.aliens) {
        *p++ = static_cast<char>('0' + a.type % 10);
        xSum += a.x;
        ySum += a.y;
    }
    p = PutField(p, xSum);
    p = PutField(p, ySum);

    *p++ = ',';
    for (const ShieldBlock &s : Shield_View()) *p++ = s.alive != 0 ? '1' : '0';

    const UfoView ufo = Ufo_View();
    p = PutField(p, ufo.ufoX);
    p = PutField(p, ufo.ufoY);
    p = PutField(p, ufo.ufoDir);
    p = PutField(p, ufo.shotCount);
    p = PutField(p, ufo.waitTimer);
    p = PutField(p, ufo.flightTimer);
    p = PutField(p, ufo.hitTimer);
    p = PutField(p, Pad_Held(0));
    *p++ = '\n';
    std::fwrite(buf, 1, static_cast<std::size_t>(p - buf), run.trace);
}

void PutLe(std::uint8_t *p, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// 44-byte header of an 8000 Hz unsigned 8-bit mono WAV with dataBytes of data.
void WriteWavHeader(FILE *f, std::uint32_t dataBytes) {
    std::uint8_t h[44];
    std::copy_n("RIFF", 4, h);
    PutLe(h + 4, 36 + dataBytes, 4);
    std::copy_n("WAVEfmt ", 8, h + 8);
    PutLe(h + 16, 16, 4);        // fmt chunk size
    PutLe(h + 20, 1, 2);         // PCM
    PutLe(h + 22, 1, 2);         // mono
    PutLe(h + 24, SND_RATE, 4);  // samples a second
    PutLe(h + 28, SND_RATE, 4);  // bytes a second
    PutLe(h + 32, 1, 2);         // bytes a sample frame
    PutLe(h + 34, 8, 2);         // bits a sample
    std::copy_n("data", 4, h + 36);
    PutLe(h + 40, dataBytes, 4);
    std::fwrite(h, 1, sizeof h, f);
}

// ---- seams -------------------------------------------------------------

std::uint32_t VirtualTicks() { return run.now; }
void VirtualDelay(std::uint32_t ms) { run.now += ms; }
constexpr GfxClock VIRTUAL_CLOCK{VirtualTicks, VirtualDelay};

// The sound device: never calls back by itself; the runner pulls a block
// every 32 ms of virtual time.
int DeviceOpen(SDL_AudioSpec *, SDL_AudioSpec *) { return 0; }
void DevicePause(int) {}
void DeviceLock() {}
void DeviceUnlock() {}
void DeviceClose() {}
void DeviceMix(std::uint8_t *dst, const std::uint8_t *src, std::uint32_t len, int) {
    for (std::uint32_t i = 0; i < len; ++i) {
        dst[i] = static_cast<std::uint8_t>(std::clamp(dst[i] + src[i] - SND_SILENCE, 0, 255));
    }
}
constexpr SndDeviceOps PULLED_DEVICE{DeviceOpen, DevicePause, DeviceLock, DeviceUnlock, DeviceClose, DeviceMix};

void PullAudioBlock() {
    run.audioBlock.fill(SND_SILENCE);
    Snd_Callback(nullptr, run.audioBlock.data(), SND_BLOCK);
    if (run.audio != nullptr) {
        std::fwrite(run.audioBlock.data(), 1, SND_BLOCK, run.audio);
        run.audioBytes += SND_BLOCK;
    }
}

void OnPresent(int result) {
    const long long f[1] = {result};
    LogEvent("present", 1, f);
    if (result != GFX_OK) return;
    run.presents++;
    // Nothing between here and the end of the present touches sound, so this
    // is the block a device would take after the present.
    if (run.presents % 2 == 0) PullAudioBlock();
}

void OnFlush() { LogEvent("flush", 0, nullptr); }

void OnDraw(const DrawCommand &cmd) {
    if (run.events == nullptr) return;
    const long long f[5] = {cmd.x, cmd.y, cmd.w, cmd.h, cmd.grey};
    LogEvent("draw", 5, f, cmd.picture != nullptr ? 'P' : 'F');
}

constexpr GfxObserver OBSERVER{OnPresent, OnFlush, OnDraw};

void OnPoll(ButtonMask held) {
    const long long f[1] = {static_cast<long long>(held)};
    LogEvent("poll", 1, f);
}

void OnSound(int channel, int id, int result) {
    const long long f[3] = {channel, id, result};
    LogEvent("snd", 3, f);
}

bool ReadStream(std::istream &in, std::string *text) {
    std::ostringstream s;
    s << in.rdbuf();
    *text = s.str();
    return !in.bad();
}

bool ReadAll(const std::string &path, std::string *text) {
    if (path == "-") return ReadStream(std::cin, text);
    std::ifstream in(path, std::ios::binary);
    return in && ReadStream(in, text);
}

bool OpenOutput(const std::string &path, const char *option, FILE **out, std::string *error) {
    if (path.empty()) return true;
    *out = std::fopen(path.c_str(), "wb");
    if (*out == nullptr) {
        *error = std::string(option) + ": cannot write '" + path + "': " + std::strerror(errno);
        return false;
    }
    return true;
}

bool CloseOutput(FILE *&f, const std::string &path) {
    if (f == nullptr) return true;
    const bool ok = std::ferror(f) == 0;
    const bool closed = std::fclose(f) == 0;
    f = nullptr;
    if (ok && closed) return true;
    std::fprintf(stderr, "%s: error writing '%s'\n", PROGRAM, path.c_str());
    return false;
}

void CloseAll() {
    for (FILE **f : {&run.trace, &run.events, &run.audio}) {
        if (*f != nullptr) std::fclose(*f);
        *f = nullptr;
    }
}

}  // namespace

int Replay_ParseArgs(int argc, char **argv, ReplayOptions *options, std::string *error) {
    ReplayOptions o;
    bool seen[5] = {};
    const char *single[5] = {"--passes", "--input", "--trace", "--events", "--audio"};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(USAGE, stdout);
            return 1;
        }
        int which = -1;
        for (int k = 0; k < 5; ++k) {
            if (arg == single[k]) which = k;
        }
        if (which < 0 && arg != "--screenshot") {
            *error = "unknown argument '" + arg + "'";
            return 2;
        }
        if (i + 1 >= argc) {
            *error = arg + ": missing value";
            return 2;
        }
        const std::string value = argv[++i];
        if (which >= 0) {
            if (seen[which]) {
                *error = arg + ": given more than once";
                return 2;
            }
            seen[which] = true;
            if (value.empty()) {
                *error = arg + ": empty value";
                return 2;
            }
        }
        switch (which) {
        case 0:
            if (!ParseNumber(value, 0, MAX_COUNT, &o.passes)) {
                *error = "--passes: expected a whole number 0-" + std::to_string(MAX_COUNT) + ", got '" + value + "'";
                return 2;
            }
            break;
        case 1: o.input = value; break;
        case 2: o.trace = value; break;
        case 3: o.events = value; break;
        case 4: o.audio = value; break;
        default: {
            const std::size_t colon = value.find(':');
            ReplayShot shot;
            if (colon == std::string::npos || !ParseNumber(value.substr(0, colon), 0, MAX_COUNT, &shot.pass) ||
                colon + 1 >= value.size()) {
                *error = "--screenshot: expected PASS:FILE, got '" + value + "'";
                return 2;
            }
            shot.file = value.substr(colon + 1);
            o.screenshots.push_back(shot);
            break;
        }
        }
    }
    *options = o;
    return 0;
}

int Replay_ParseScript(const std::string &text, std::vector<ReplayInput> *out, std::string *error) {
    std::vector<ReplayInput> inputs;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    long lastPass = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::vector<std::string> w = Split(line);
        if (w.empty() || w[0][0] == '#') continue;
        const std::string where = "script line " + std::to_string(number) + ": ";
        ReplayInput input{};
        input.line = number;
        if (!ParseNumber(w[0], 0, MAX_COUNT, &input.pass)) {
            *error = where + "PASS must be a whole number 0-" + std::to_string(MAX_COUNT) + ", got '" + w[0] + "'";
            return 2;
        }
        if (input.pass < lastPass) {
            *error = where + "pass " + w[0] + " comes after pass " + std::to_string(lastPass);
            return 2;
        }
        if (w.size() < 2) {
            *error = where + "an event must follow the pass number";
            return 2;
        }
        std::string why;
        if (!ParseEvent(w, &input.event, &why)) {
            *error = where + why;
            return 2;
        }
        lastPass = input.pass;
        inputs.push_back(input);
    }
    *out = std::move(inputs);
    return 0;
}

int Replay_Open(const ReplayOptions &options, std::string *error) {
    run = Run{};
    run.options = options;
    if (!options.input.empty()) {
        std::string text;
        if (!ReadAll(options.input, &text)) {
            *error = "--input: cannot read '" + options.input + "'";
            return 2;
        }
        if (Replay_ParseScript(text, &run.script, error) != 0) return 2;
    }
    if (!OpenOutput(options.trace, "--trace", &run.trace, error) ||
        !OpenOutput(options.events, "--events", &run.events, error) ||
        !OpenOutput(options.audio, "--audio", &run.audio, error)) {
        CloseAll();
        return 2;
    }
    if (run.trace != nullptr) std::fputs(TRACE_HEADER, run.trace);
    if (run.events != nullptr) std::fputs(EVENTS_HEADER, run.events);
    if (run.audio != nullptr) WriteWavHeader(run.audio, 0);

    // Headless unless the caller chose drivers.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    Gfx_SetClock(&VIRTUAL_CLOCK);
    Gfx_SetObserver(&OBSERVER);
    Pad_SetPollObserver(OnPoll);
    Snd_SetPlayObserver(OnSound);
    Snd_SetDeviceOps(&PULLED_DEVICE);
    if (Entry_Start() != 0) {
        *error = std::string("the display could not start: ") + SDL_GetError();
        CloseAll();
        return 1;
    }
    run.started = true;
    return 0;
}

int Replay_PushEvent(const SDL_Event &event) {
    SDL_Event copy = event;
    return SDL_PushEvent(&copy) == 0 ? 0 : -1;
}

int Replay_Pass() {
    if (!run.started || run.finished) return 0;
    if (run.pass >= run.options.passes) {
        run.finished = true;
        return 0;
    }
    while (run.nextInput < run.script.size() && run.script[run.nextInput].pass == run.pass) {
        const ReplayInput &input = run.script[run.nextInput++];
        if (Replay_PushEvent(input.event) != 0) {
            std::fprintf(stderr, "%s: script line %d: SDL's event queue is full; the event was dropped\n", PROGRAM,
                         input.line);
            run.failed = true;
        }
    }
    const int acted = run.state;
    const int went = Entry_Pass(&run.state);
    if (went != 0) WriteTraceRow(acted);
    for (const ReplayShot &shot : run.options.screenshots) {
        if (shot.pass != run.pass) continue;
        if (SDL_SaveBMP(Gfx_View().screen, shot.file.c_str()) != 0) {
            std::fprintf(stderr, "%s: --screenshot: cannot write '%s'\n", PROGRAM, shot.file.c_str());
            run.failed = true;
        }
    }
    run.pass++;
    if (went == 0) run.finished = true;
    return went;
}

int Replay_Close() {
    if (run.started) {
        Entry_Stop();
        run.started = false;
    }
    Gfx_SetObserver(nullptr);
    Pad_SetPollObserver(nullptr);
    Snd_SetPlayObserver(nullptr);
    Snd_SetDeviceOps(nullptr);
    Gfx_SetClock(nullptr);
    bool ok = !run.failed;
    if (run.audio != nullptr) {
        // The sizes are known only now.
        if (std::fseek(run.audio, 0, SEEK_SET) == 0) {
            WriteWavHeader(run.audio, run.audioBytes);
        } else {
            ok = false;
        }
    }
    ok = CloseOutput(run.trace, run.options.trace) && ok;
    ok = CloseOutput(run.events, run.options.events) && ok;
    ok = CloseOutput(run.audio, run.options.audio) && ok;
    return ok ? 0 : 1;
}

ReplayView Replay_View() { return ReplayView{run.pass, run.state, run.presents, run.finished ? 1 : 0}; }

int Replay_Main(int argc, char **argv) {
    ReplayOptions options;
    std::string error;
    const int parsed = Replay_ParseArgs(argc, argv, &options, &error);
    if (parsed == 1) return 0;
    if (parsed != 0) {
        std::fprintf(stderr, "%s: %s\n", PROGRAM, error.c_str());
        return 2;
    }
    const int opened = Replay_Open(options, &error);
    if (opened != 0) {
        std::fprintf(stderr, "%s: %s\n", PROGRAM, error.c_str());
        return opened;
    }
    while (Replay_Pass() != 0) {
    }
    return Replay_Close();
}
