// The runner's command line.
#include <cstdio>

#include "platform/pad.h"
#include "tools/replay/replay.h"
#include "tools/replay/text.h"

namespace {

constexpr const char *USAGE =
    "usage: zultmirax-replay [--passes N] [--input FILE|-] [--trace FILE] [--events FILE]\n"
    "                        [--screenshot PASS:FILE.bmp]... [--audio FILE.wav]\n"
    "                        [--pad-layout handheld|controller|browser]\n"
    "                        [--record FILE | --watch | --video FILE [--scale N]]\n";

// Options that take one value and may be given once, in the order of their
// fields below.
enum Single : int {
    OPT_PASSES,
    OPT_INPUT,
    OPT_TRACE,
    OPT_EVENTS,
    OPT_AUDIO,
    OPT_RECORD,
    OPT_VIDEO,
    OPT_SCALE,
    OPT_PAD_LAYOUT,
    OPT_COUNT
};
constexpr const char *SINGLE[OPT_COUNT] = {"--passes", "--input", "--trace", "--events",    "--audio",
                                           "--record", "--video", "--scale", "--pad-layout"};

constexpr long MAX_SCALE = 8;

// Recording, watching and video export are ways of running; one at a time.
bool CheckModes(const ReplayOptions &o, bool scaled, std::string *error) {
    const bool live = !o.record.empty() || o.watch;
    const int modes = (o.record.empty() ? 0 : 1) + (o.watch ? 1 : 0) + (o.video.empty() ? 0 : 1);
    if (modes > 1) {
        *error = "--record, --watch and --video exclude each other";
    } else if (!o.record.empty() && !o.input.empty()) {
        *error = "--record: the input comes from the keyboard and joysticks, not from --input";
    } else if (live && !o.audio.empty()) {
        *error = "--audio: not with --record or --watch, whose sound goes to the speakers";
    } else if (scaled && o.video.empty()) {
        *error = "--scale: only with --video";
    } else {
        return true;
    }
    return false;
}

}  // namespace

int Replay_ParseArgs(int argc, char **argv, ReplayOptions *options, std::string *error) {
    using replay::MAX_COUNT;
    ReplayOptions o;
    bool seen[OPT_COUNT] = {};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(USAGE, stdout);
            return 1;
        }
        if (arg == "--watch") {
            o.watch = true;
            continue;
        }
        int which = -1;
        for (int k = 0; k < OPT_COUNT; ++k) {
            if (arg == SINGLE[k]) which = k;
        }
        if (which < 0 && arg != "--screenshot") {
            *error = "unknown argument '" + replay::Echo(arg) + "'";
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
        case OPT_PASSES:
            if (!replay::ParseNumber(value, 0, MAX_COUNT, &o.passes)) {
                *error = "--passes: expected a whole number 0-" + std::to_string(MAX_COUNT) + ", got '" +
                         replay::Echo(value) + "'";
                return 2;
            }
            break;
        case OPT_INPUT: o.input = value; break;
        case OPT_TRACE: o.trace = value; break;
        case OPT_EVENTS: o.events = value; break;
        case OPT_AUDIO: o.audio = value; break;
        case OPT_RECORD: o.record = value; break;
        case OPT_VIDEO: o.video = value; break;
        case OPT_SCALE:
            if (!replay::ParseNumber(value, 1, MAX_SCALE, &o.scale)) {
                *error = "--scale: expected a whole number 1-" + std::to_string(MAX_SCALE) + ", got '" + value + "'";
                return 2;
            }
            break;
        case OPT_PAD_LAYOUT:
            o.padLayout = Pad_LayoutByName(value);
            if (o.padLayout < 0) {
                *error = "--pad-layout: expected handheld, controller or browser, got '" + replay::Echo(value) + "'";
                return 2;
            }
            break;
        default: {
            const std::size_t colon = value.find(':');
            ReplayShot shot;
            if (colon == std::string::npos || !replay::ParseNumber(value.substr(0, colon), 0, MAX_COUNT, &shot.pass) ||
                colon + 1 >= value.size()) {
                *error = "--screenshot: expected PASS:FILE, got '" + replay::Echo(value) + "'";
                return 2;
            }
            shot.file = value.substr(colon + 1);
            o.screenshots.push_back(shot);
            break;
        }
        }
    }
    if (!CheckModes(o, seen[OPT_SCALE], error)) return 2;
    // A live game runs until it is quit.
    if (!o.record.empty() && !seen[OPT_PASSES]) o.passes = MAX_COUNT;
    // A shot after the last pass would silently never be taken.
    for (const ReplayShot &shot : o.screenshots) {
        if (shot.pass >= o.passes) {
            *error = "--screenshot: pass " + std::to_string(shot.pass) + " is never run (--passes " +
                     std::to_string(o.passes) + " ends the run before it)";
            return 2;
        }
    }
    *options = o;
    return 0;
}
