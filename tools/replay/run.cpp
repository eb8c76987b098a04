// The run loop: reads the script, opens the outputs, starts the program on
// the virtual clock, and runs it pass by pass, pushing each pass's events
// first. Everything the game does is seen through the modules' observers
// and views; the game's own code runs unchanged.
#include <cstdlib>

#include "assets/sounds.h"
#include "game/entry.h"
#include "platform/exit_guard.h"
#include "platform/gfx.h"
#include "platform/pad.h"
#include "platform/snd.h"
#include "tools/replay/bmp.h"
#include "tools/replay/events.h"
#include "tools/replay/headless.h"
#include "tools/replay/live.h"
#include "tools/replay/output.h"
#include "tools/replay/replay.h"
#include "tools/replay/script_file.h"
#include "tools/replay/text.h"
#include "tools/replay/trace.h"
#include "tools/replay/video.h"
#include "tools/replay/wav.h"

namespace {

struct Run {
    ReplayOptions options;
    ReplayScript script;
    ReplayInput next{};  // the script's next event, read ahead
    bool hasNext = false;
    long scriptEnd = 0;  // the passes the script needs to play to its end
    long pass = 0;       // the pass running now, or the next one between passes
    int state = STATE_RESET;
    long presents = 0;
    bool started = false;
    bool finished = false;
    bool failed = false;          // a write or an event push went wrong
    bool audioFull = false;       // the WAV file reached its limit: the run stops
    int live = replay::LIVE_OFF;  // recording or watching on the real display
    std::string videoSound;       // the video's copy of the sound, if any
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
        if (!run.audioFull && !replay::Wav_Append(block, SND_BLOCK)) {
            replay::PrintError("--audio: the WAV data would pass the format's 4 GiB limit in pass " +
                               std::to_string(run.pass) + "; the run stops after it");
            run.audioFull = true;
            run.failed = true;
        }
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

// Reads the script's first event, if any; 2 with *error set for a
// malformed line.
int ReadAhead(std::string *error) {
    const int got = Replay_NextInput(&run.script, &run.next, error);
    run.hasNext = got == 1;
    return got == 2 ? 2 : 0;
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
    if (!replay::CheckOutputs(options, error)) return 2;
    if (!options.input.empty()) {
        // A stop signal while the script comes is for the caller to report.
        if (replay::ReadScript(options.input, &run.script.text, error) != 0) return 2;
        // Every line is checked now, before any pass; the events are
        // parsed again from the one copy of the text as their passes come.
        ReplayScript check;
        std::swap(check.text, run.script.text);
        ReplayInput input{};
        int got = 0;
        bool any = false;
        while ((got = Replay_NextInput(&check, &input, error)) == 1) any = true;
        std::swap(check.text, run.script.text);
        if (got == 2 || ReadAhead(error) != 0) return 2;
        run.scriptEnd = replay::ScriptEnd(run.script.text, check.lastPass, any);
        if (options.watch && !options.passesGiven) {
            run.options.passes = run.scriptEnd > 0 ? run.scriptEnd : ReplayOptions{}.passes;
        }
    }
    run.live = !options.record.empty() ? replay::LIVE_RECORD : options.watch ? replay::LIVE_WATCH : replay::LIVE_OFF;
    // The numbering of the script's joystick buttons: the command line's, else
    // the script's own, else the handheld's. A recording is in the numbering
    // that the pads plugged in here report, and says so in its script.
    // The script's layout lines are checked whatever the command line says.
    int layout = PAD_LAYOUT_HANDHELD;
    if (Replay_ScriptLayout(run.script.text, &layout, error) == 2) return 2;
    if (options.padLayout >= 0) {
        layout = options.padLayout;
    } else if (run.live == replay::LIVE_RECORD) {
        replay::TurnOnControllerLayout();
        layout = Pad_PlatformLayout();
    }
    Pad_SetLayout(layout);
    if (!replay::Live_Allowed(run.live, error)) return 2;  // before any file is touched
    if (!options.video.empty() && !replay::Video_Open(options.video, options.scale, &run.videoSound, error)) return 2;
    if (!replay::Trace_Open(options.trace, error) || !replay::Events_Open(options.events, error) ||
        !replay::Wav_Open(replay::WAV_AUDIO, options.audio, error) ||
        !replay::Wav_Open(replay::WAV_VIDEO, run.videoSound, error) ||
        !replay::Live_Open(run.live, options.record, layout, error)) {
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
        *error = std::string("the display could not start: ") + replay::Echo(SDL_GetError());
        AbandonOutputs();
        return 1;
    }
    // On the real display, as in the game, a lost display ends the run cleanly.
    if (run.live != replay::LIVE_OFF) Gfx_ArmExitGuard();
    replay::Live_Arm();
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
        // Not an error (a run may look at a script's start on purpose), but
        // never a silent cut.
        if (run.hasNext) {
            replay::PrintError("the run stopped at --passes " + std::to_string(run.options.passes) +
                               " with script events unplayed, from line " + std::to_string(run.next.line) + " (pass " +
                               std::to_string(run.next.pass) + "); the whole script needs --passes " +
                               std::to_string(run.scriptEnd));
        }
        return 0;
    }
    if (!replay::Live_BeforePass(run.pass)) {
        run.finished = true;
        return 0;
    }
    replay::Events_SetPass(run.pass);
    while (run.hasNext && run.next.pass == run.pass) {
        if (Replay_PushEvent(run.next.event) != 0) {
            replay::PrintError("script line " + std::to_string(run.next.line) +
                               ": SDL's event queue is full; the event was dropped");
            run.failed = true;
        }
        std::string unused;  // every line was checked at open
        ReadAhead(&unused);
    }
    const int acted = run.state;
    const int went = Entry_Pass(&run.state);
    replay::Video_Settle();
    if (went != 0) replay::Trace_Row(run.pass, acted, run.presents);
    for (const ReplayShot &shot : run.options.screenshots) {
        if (shot.pass != run.pass) continue;
        if (!replay::Bmp_Write(Gfx_View().screen, shot.file)) {
            replay::PrintError("--screenshot: cannot write '" + replay::Echo(shot.file) + "'");
            run.failed = true;
        }
    }
    run.pass++;
    if (went == 0 || run.audioFull || replay::Video_Failed()) {
        run.finished = true;
        return 0;
    }
    return went;
}

int Replay_Close() {
    if (run.started) {
        if (run.live != replay::LIVE_OFF) Gfx_DisarmExitGuard();
        Entry_Stop();
        run.started = false;
    }
    // A quit (or a stop) before a screenshot's pass leaves it untaken.
    for (const ReplayShot &shot : run.options.screenshots) {
        if (shot.pass < run.pass) continue;
        replay::PrintError("--screenshot: the run ended after pass " + std::to_string(run.pass - 1) + ", before pass " +
                           std::to_string(shot.pass) + "; '" + replay::Echo(shot.file) + "' was not written");
        run.failed = true;
    }
    Gfx_SetObserver(nullptr);
    Pad_SetPollObserver(nullptr);
    Pad_SetLayout(-1);
    Snd_SetPlayObserver(nullptr);
    replay::Headless_Remove();
    bool ok = !run.failed;
    ok = replay::Trace_Close() && ok;
    ok = replay::Events_Close() && ok;
    ok = replay::Wav_Close(replay::WAV_AUDIO) && ok;
    const bool sound = replay::Wav_Close(replay::WAV_VIDEO);
    ok = replay::Live_Close(run.pass) && ok;
    ok = replay::Video_Close(run.videoSound, sound) && ok;
    return ok ? 0 : 1;
}

ReplayView Replay_View() { return ReplayView{run.pass, run.state, run.presents, run.finished ? 1 : 0}; }
