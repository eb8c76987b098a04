// The run loop: reads the script, opens the outputs, starts the program on
// the virtual clock, and runs it pass by pass, pushing each pass's events
// first. Everything the game does is seen through the modules' observers
// and views; the game's own code runs unchanged.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// ---- input ---------------------------------------------------------------

// The whole script into *text, held once: a file's size is reserved up
// front. False with *why set on any error, a directory or a closed
// standard input included.
bool ReadAll(const std::string &path, std::string *text, std::string *why) {
    const bool stdinput = path == "-";
    const int fd = stdinput ? 0 : open(path.c_str(), O_RDONLY | O_CLOEXEC);
    bool ok = fd >= 0;
    struct stat st {};
    if (ok && fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) text->reserve(static_cast<std::size_t>(st.st_size) + 1);
    char buffer[65536];
    while (ok) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        else text->append(buffer, static_cast<std::size_t>(n));
    }
    if (!ok) *why = std::strerror(errno);
    if (fd > 0) close(fd);
    return ok;
}

// Reads the script's first event, if any; 2 with *error set for a
// malformed line.
int ReadAhead(std::string *error) {
    const int got = Replay_NextInput(&run.script, &run.next, error);
    run.hasNext = got == 1;
    return got == 2 ? 2 : 0;
}

// The passes that play the whole script: its recorder's closing count
// ("# N passes; replay with --passes N") or the pass after its last event.
long ScriptEnd(const std::string &text, long lastEventPass, bool anyEvent) {
    long end = anyEvent ? lastEventPass + 1 : 0;
    static constexpr char HEAD[] = "# ";
    static constexpr char MIDDLE[] = " passes; replay with --passes ";
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t eol = text.find('\n', pos);
        if (eol == std::string::npos) eol = text.size();
        std::string line = text.substr(pos, eol - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        pos = eol + 1;
        const std::size_t middle = line.find(MIDDLE);
        if (line.rfind(HEAD, 0) != 0 || middle == std::string::npos) continue;
        const std::string count = line.substr(2, middle - 2);
        long n = 0;
        if (replay::ParseNumber(count, 0, replay::MAX_COUNT, &n) && line.substr(middle + sizeof MIDDLE - 1) == count &&
            n > end)
            end = n;
    }
    return end;
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
        std::string why;
        if (!ReadAll(options.input, &run.script.text, &why)) {
            *error = "--input: cannot read '" + replay::Echo(options.input) + "': " + why;
            return 2;
        }
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
        run.scriptEnd = ScriptEnd(run.script.text, check.lastPass, any);
        if (options.watch && !options.passesGiven) {
            run.options.passes = run.scriptEnd > 0 ? run.scriptEnd : ReplayOptions{}.passes;
        }
    }
    run.live = !options.record.empty() ? replay::LIVE_RECORD : options.watch ? replay::LIVE_WATCH : replay::LIVE_OFF;
    // The numbering of the script's joystick buttons: the command line's, else
    // the script's own, else the handheld's. A recording is in the numbering
    // that the pads plugged in here report, and says so in its script.
    int layout = PAD_LAYOUT_HANDHELD;
    if (options.padLayout >= 0) {
        layout = options.padLayout;
    } else if (run.live == replay::LIVE_RECORD) {
        replay::TurnOnControllerLayout();
        layout = Pad_PlatformLayout();
    } else if (Replay_ScriptLayout(run.script.text, &layout, error) == 2) {
        return 2;
    }
    Pad_SetLayout(layout);
    run.audio = options.audio;
    std::string videoSound;
    if (!options.video.empty() && !replay::Video_Open(options.video, options.scale, &videoSound, error)) return 2;
    if (run.audio.empty()) run.audio = videoSound;
    if (!replay::Trace_Open(options.trace, error) || !replay::Events_Open(options.events, error) ||
        !replay::Wav_Open(run.audio, error) || !replay::Live_Open(run.live, options.record, layout, error)) {
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
    ok = replay::Wav_Close() && ok;
    ok = replay::Live_Close(run.pass) && ok;
    ok = replay::Video_Close(run.audio) && ok;
    return ok ? 0 : 1;
}

ReplayView Replay_View() { return ReplayView{run.pass, run.state, run.presents, run.finished ? 1 : 0}; }

namespace {

// A signal ends the run between passes, so that every output is complete
// up to the last pass run; a second one ends the process at once. Calls it
// interrupts are restarted: a write blocked on a busy encoder's pipe or a
// slow reader of the trace must finish, not fail with EINTR.
volatile std::sig_atomic_t stopSignal = 0;

void OnStopSignal(int sig) { stopSignal = sig; }

void CatchStopSignals() {
    struct sigaction sa {};
    sa.sa_handler = OnStopSignal;
    sa.sa_flags = SA_RESETHAND | SA_RESTART;
    sigemptyset(&sa.sa_mask);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old {};
        // A signal ignored by whoever started the run (nohup, a background
        // job) stays ignored.
        if (sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        sigaction(sig, &sa, nullptr);
    }
}

}  // namespace

int Replay_Main(int argc, char **argv) {
    ReplayOptions options;
    std::string error;
    const int parsed = Replay_ParseArgs(argc, argv, &options, &error);
    if (parsed == 1) {
        if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) return 0;
        replay::PrintError(std::string("cannot write the help: ") + std::strerror(errno));
        return 1;
    }
    if (parsed != 0) {
        replay::PrintError(error);
        return 2;
    }
    // Before SDL starts, which leaves handlers already set alone.
    CatchStopSignals();
    const int opened = Replay_Open(options, &error);
    if (opened != 0) {
        replay::PrintError(error);
        return opened;
    }
    while (stopSignal == 0 && Replay_Pass() != 0) {
    }
    const int closed = Replay_Close();
    if (stopSignal != 0) {
        const int sig = stopSignal;
        replay::PrintError(std::string("stopped by signal ") + std::to_string(sig) + " (" + strsignal(sig) +
                           ") after " + std::to_string(run.pass) + " passes; the outputs hold those passes" +
                           (closed != 0 ? ", except as said above" : ""));
        return 128 + sig;
    }
    return closed;
}
