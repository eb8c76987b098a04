// The run loop: reads the script, opens the outputs, starts the program on
// the virtual clock, and runs it pass by pass, pushing each pass's events
// first. Everything the game does is seen through the modules' observers
// and views; the game's own code runs unchanged.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

#include "game/entry.h"
#include "platform/gfx.h"
#include "platform/pad.h"
#include "platform/snd.h"
#include "tools/replay/events.h"
#include "tools/replay/headless.h"
#include "tools/replay/live.h"
#include "tools/replay/output.h"
#include "tools/replay/replay.h"
#include "tools/replay/trace.h"
#include "tools/replay/video.h"
#include "tools/replay/wav.h"

namespace {

using replay::PROGRAM;

struct Run {
    ReplayOptions options;
    std::vector<ReplayInput> script;
    std::size_t nextInput = 0;
    long pass = 0;  // the pass running now, or the next one between passes
    int state = STATE_RESET;
    long presents = 0;
    bool started = false;
    bool finished = false;
    bool failed = false;          // a write or an event push went wrong
    int live = replay::LIVE_OFF;  // recording or watching on the real display
    std::string audio;            // the WAV file written, if any
};

Run run;

// ---- observers -----------------------------------------------------------

void OnPresent(int result) {
    replay::Video_Settle();
    replay::Events_Present(result);
    if (result != GFX_OK) return;
    run.presents++;
    replay::Video_Presented();
    // Nothing between here and the end of the present touches sound, so this
    // is the block a device would take after every second present (32 ms).
    // A live run has a real device.
    if (run.presents % 2 == 0 && run.live == replay::LIVE_OFF) {
        const std::uint8_t *block = replay::Headless_PullBlock();
        replay::Wav_Append(block, SND_BLOCK);
    }
}

void OnFlush() {
    replay::Video_Settle();
    replay::Events_Flush();
}

void OnDraw(const DrawCommand &cmd) { replay::Events_Draw(cmd); }

constexpr GfxObserver OBSERVER{OnPresent, OnFlush, OnDraw};

void OnPoll(ButtonMask held) { replay::Events_Poll(held); }

void OnSound(int channel, int id, int result) { replay::Events_Sound(channel, id, result); }

// ---- input ---------------------------------------------------------------

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

void AbandonOutputs() {
    replay::Trace_Abandon();
    replay::Events_Abandon();
    replay::Wav_Abandon();
    replay::Live_Abandon();
    replay::Video_Abandon();
}

}  // namespace

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
    run.live = !options.record.empty() ? replay::LIVE_RECORD : options.watch ? replay::LIVE_WATCH : replay::LIVE_OFF;
    run.audio = options.audio;
    std::string videoSound;
    if (!options.video.empty() && !replay::Video_Open(options.video, options.scale, &videoSound, error)) return 2;
    if (run.audio.empty()) run.audio = videoSound;
    if (!replay::Trace_Open(options.trace, error) || !replay::Events_Open(options.events, error) ||
        !replay::Wav_Open(run.audio, error) || !replay::Live_Open(run.live, options.record, error)) {
        AbandonOutputs();
        return 2;
    }

    if (run.live == replay::LIVE_OFF) {
        // Headless unless the caller chose drivers.
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        replay::Headless_Install();
    }
    Gfx_SetObserver(&OBSERVER);
    Pad_SetPollObserver(OnPoll);
    Snd_SetPlayObserver(OnSound);
    if (Entry_Start() != 0) {
        *error = std::string("the display could not start: ") + SDL_GetError();
        AbandonOutputs();
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
    if (!replay::Live_BeforePass(run.pass)) {
        run.finished = true;
        return 0;
    }
    replay::Events_SetPass(run.pass);
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
    replay::Video_Settle();
    if (went != 0) replay::Trace_Row(run.pass, acted, run.presents);
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
    replay::Headless_Remove();
    bool ok = !run.failed;
    ok = replay::Trace_Close() && ok;
    ok = replay::Events_Close() && ok;
    ok = replay::Wav_Close() && ok;
    ok = replay::Live_Close(run.pass) && ok;
    ok = replay::Video_Close(run.audio) && ok;
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
