// The replay runner: runs the program entry's state machine headless on
// virtual time from an input script, and writes a state trace, an event log,
// screenshots and the mixer's output. The command-line tool is a thin main
// over this; tests and soak runs can drive it pass by pass.
//
// One run per process: the game's modules keep their state in static storage
// from program start, so a second run in the same process would not start
// from the same state.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

// One line of an input script.
struct ReplayInput {
    long pass;          // pushed immediately before this pass's quit test
    std::int64_t line;  // line number in the script, for messages
    SDL_Event event;
};

// A script's text and how far it has been read: the runner keeps the text
// once and parses its lines as their passes come.
struct ReplayScript {
    std::string text;
    std::size_t pos = 0;    // the start of the next line
    std::int64_t line = 0;  // lines read so far
    long lastPass = 0;      // the last event's pass, for the order check
    // Scratch space reused from line to line, so that reading on as the
    // passes come allocates nothing.
    std::string lineText;
    std::vector<std::string> words;
};

// Parses the script's next event line. 1 with *out set; 0 at the end of the
// text; 2 with *error set to a one-line message naming a malformed line.
int Replay_NextInput(ReplayScript *script, ReplayInput *out, std::string *error);

struct ReplayShot {
    long pass;
    std::string file;
};

struct ReplayOptions {
    long passes = 10000;
    std::string input;  // script file, "-" for standard input, empty for none
    std::string trace;  // files to write; empty for none
    std::string events;
    std::string audio;
    std::vector<ReplayShot> screenshots;
    std::string record;  // a live game, written as a script to this file
    bool watch = false;  // the script in a real window at the game's pace
    std::string video;   // the replay as a video file
    long scale = 3;      // the video's picture scale
    int padLayout = -1;  // the PadLayout of the script's buttons; -1 when not given
};

// Parses the command line (argv[0] is the program). On error returns 2 and
// sets *error to a one-line message naming the option; 1 with no error set
// means help was asked for and printed.
int Replay_ParseArgs(int argc, char **argv, ReplayOptions *options, std::string *error);

// The layout a script names for its joystick buttons in a comment line
// "# pad-layout NAME" before its first event: 1 with *layout set; 0 when it
// names none; 2 with *error set for an unknown name or two that differ.
int Replay_ScriptLayout(const std::string &text, int *layout, std::string *error);

// Parses an input script's text. On error returns 2 and sets *error to a
// one-line message naming the line.
int Replay_ParseScript(const std::string &text, std::vector<ReplayInput> *out, std::string *error);

// Reads and parses the script, opens the output files, starts the program
// (Entry_Start) on the virtual clock. 0 ready; 2 with *error set for a bad
// script or an output file that cannot be opened (no pass has run); 1 when
// the display cannot start.
int Replay_Open(const ReplayOptions &options, std::string *error);

// Pushes an event now, so that the next pass's quit test and polls see it,
// as the script's events are. 0 queued, -1 SDL's queue refused it.
int Replay_PushEvent(const SDL_Event &event);

// Runs the next pass (script events first), then writes its trace row and
// any screenshot asked for after it. 1 when the pass performed an action;
// 0 when the run is over (the pass limit was reached, or this pass's quit
// test ended the main loop).
int Replay_Pass();

// Shuts the program down in its order (sound, pads, display), completes the
// output files. 0 when everything was written, 1 on a write error (with a
// message on standard error).
int Replay_Close();

struct ReplayView {
    long nextPass;  // number of the pass Replay_Pass runs next
    int state;      // the entry's state for the next pass
    long presents;  // Gfx_Present calls that returned 0
    int finished;   // 1 once Replay_Pass has returned 0
};
ReplayView Replay_View();

// The whole command line tool: parse, open, run, close. Returns the exit status.
int Replay_Main(int argc, char **argv);
