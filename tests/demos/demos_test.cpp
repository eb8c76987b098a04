// The demo modes' pieces that need no display: every event the game reads
// becomes a script line that reads back as the same event, and the command
// line keeps the modes apart.
#include <gtest/gtest.h>

#include "platform/pad.h"
#include "tools/replay/live.h"
#include "tools/replay/replay.h"
#include "tools/replay/text.h"

namespace {

SDL_Event Key(Uint8 type, SDLKey sym) {
    SDL_Event e{};
    e.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = KMOD_LSHIFT;  // not part of a line: the game never reads it
    e.key.keysym.unicode = 'Z';
    return e;
}

SDL_Event JoyButton(Uint8 type, Uint8 which, Uint8 button) {
    SDL_Event e{};
    e.type = type;
    e.jbutton.which = which;
    e.jbutton.button = button;
    e.jbutton.state = type == SDL_JOYBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    return e;
}

SDL_Event Axis(Uint8 which, Uint8 axis, Sint16 value) {
    SDL_Event e{};
    e.type = SDL_JOYAXISMOTION;
    e.jaxis.which = which;
    e.jaxis.axis = axis;
    e.jaxis.value = value;
    return e;
}

// The event that a recorded line pushes, and the replay pushes again.
SDL_Event ReadBack(long pass, const SDL_Event &e, std::string *line) {
    EXPECT_TRUE(replay::FormatEvent(pass, e, line));
    std::vector<ReplayInput> inputs;
    std::string error;
    EXPECT_EQ(Replay_ParseScript(*line, &inputs, &error), 0) << *line << ": " << error;
    if (inputs.size() != 1) {
        ADD_FAILURE() << "'" << *line << "' read back as " << inputs.size() << " events";
        return SDL_Event{};
    }
    EXPECT_EQ(inputs[0].pass, pass) << *line;
    return inputs[0].event;
}

TEST(RecordLine, KeysReadBackAsTheSameKeyAndState) {
    std::vector<SDLKey> keys;
    keys.reserve(PAD_KEYS.size() + 3);
    for (const PadKey &k : PAD_KEYS) keys.push_back(k.sym);
    keys.push_back(SDLK_LSHIFT);  // keys the game ignores are written by code
    keys.push_back(SDLK_a);
    keys.push_back(static_cast<SDLKey>(SDLK_LAST - 1));
    for (SDLKey sym : keys) {
        for (Uint8 type : {SDL_KEYDOWN, SDL_KEYUP}) {
            std::string line;
            const SDL_Event e = ReadBack(41, Key(type, sym), &line);
            EXPECT_EQ(e.type, type) << line;
            EXPECT_EQ(e.key.state, type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED) << line;
            EXPECT_EQ(e.key.keysym.sym, sym) << line;
        }
    }
    std::string line;
    ASSERT_TRUE(replay::FormatEvent(3, Key(SDL_KEYDOWN, SDLK_SPACE), &line));
    EXPECT_EQ(line, "3 key down space");  // named keys keep their names
    ASSERT_TRUE(replay::FormatEvent(3, Key(SDL_KEYUP, SDLK_LSHIFT), &line));
    EXPECT_EQ(line, "3 key up " + std::to_string(SDLK_LSHIFT));
}

TEST(RecordLine, JoysticksAndQuitReadBackWhole) {
    for (Uint8 type : {SDL_JOYBUTTONDOWN, SDL_JOYBUTTONUP}) {
        for (Uint8 which : {0, 1, 200}) {
            for (Uint8 button : {0, 12, 255}) {
                std::string line;
                const SDL_Event e = ReadBack(0, JoyButton(type, which, button), &line);
                EXPECT_EQ(e.type, type) << line;
                EXPECT_EQ(e.jbutton.which, which) << line;
                EXPECT_EQ(e.jbutton.button, button) << line;
                EXPECT_EQ(e.jbutton.state, type == SDL_JOYBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED) << line;
            }
        }
    }
    for (Sint16 value : {-32768, -20001, 0, 20001, 32767}) {
        std::string line;
        // The last pass a run can reach.
        const SDL_Event e = ReadBack(replay::MAX_COUNT - 1, Axis(1, 255, value), &line);
        EXPECT_EQ(e.type, SDL_JOYAXISMOTION) << line;
        EXPECT_EQ(e.jaxis.which, 1) << line;
        EXPECT_EQ(e.jaxis.axis, 255) << line;
        EXPECT_EQ(e.jaxis.value, value) << line;
    }
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    std::string line;
    EXPECT_EQ(ReadBack(9, quit, &line).type, SDL_QUIT);
    EXPECT_EQ(line, "9 quit");
}

TEST(RecordLine, EventsTheGameNeverReadsHaveNoLine) {
    for (Uint8 type : {SDL_MOUSEMOTION, SDL_MOUSEBUTTONDOWN, SDL_ACTIVEEVENT, SDL_VIDEOEXPOSE, SDL_VIDEORESIZE,
                       SDL_JOYHATMOTION, SDL_JOYBALLMOTION, SDL_USEREVENT}) {
        SDL_Event e{};
        e.type = type;
        std::string line = "untouched";
        EXPECT_FALSE(replay::FormatEvent(0, e, &line)) << int(type);
        EXPECT_EQ(line, "untouched");
    }
}

int Parse(std::vector<std::string> args, ReplayOptions *o, std::string *error) {
    args.insert(args.begin(), "zultmirax-replay");
    std::vector<char *> argv;
    argv.reserve(args.size());
    for (std::string &a : args) argv.push_back(a.data());
    return Replay_ParseArgs(static_cast<int>(argv.size()), argv.data(), o, error);
}

TEST(DemoArgs, ModesAndTheirDefaults) {
    ReplayOptions o;
    std::string error;
    ASSERT_EQ(Parse({"--record", "r.txt", "--trace", "t.csv"}, &o, &error), 0) << error;
    EXPECT_EQ(o.record, "r.txt");
    EXPECT_EQ(o.passes, replay::MAX_COUNT);  // a live game runs until it is quit
    ASSERT_EQ(Parse({"--passes", "50", "--record", "r.txt"}, &o, &error), 0) << error;
    EXPECT_EQ(o.passes, 50);

    ASSERT_EQ(Parse({"--watch", "--input", "s.txt"}, &o, &error), 0) << error;  // a flag, no value
    EXPECT_TRUE(o.watch);
    EXPECT_EQ(o.input, "s.txt");
    EXPECT_FALSE(o.passesGiven);
    EXPECT_EQ(o.passes, replay::MAX_COUNT);  // the script's end, known once it is read
    ASSERT_EQ(Parse({"--watch"}, &o, &error), 0) << error;
    EXPECT_EQ(o.passes, 10000);  // no script: as a headless run
    ASSERT_EQ(Parse({"--watch", "--input", "s.txt", "--passes", "40"}, &o, &error), 0) << error;
    EXPECT_TRUE(o.passesGiven);
    EXPECT_EQ(o.passes, 40);

    ASSERT_EQ(Parse({"--video", "v.mp4"}, &o, &error), 0) << error;
    EXPECT_EQ(o.video, "v.mp4");
    EXPECT_EQ(o.scale, 3);
    ASSERT_EQ(Parse({"--video", "v.mp4", "--scale", "1"}, &o, &error), 0) << error;
    EXPECT_EQ(o.scale, 1);
    ASSERT_EQ(Parse({"--scale", "8", "--video", "v.gif"}, &o, &error), 0) << error;
    EXPECT_EQ(o.scale, 8);
    EXPECT_FALSE(o.watch);
}

TEST(DemoArgs, RefusedCombinationsNameTheOption) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--record", "r.txt", "--watch"}, "exclude each other"},
        {{"--watch", "--video", "v.mp4"}, "exclude each other"},
        {{"--record", "r.txt", "--video", "v.mp4"}, "exclude each other"},
        {{"--record", "r.txt", "--input", "s.txt"}, "--record:"},
        {{"--record", "r.txt", "--audio", "a.wav"}, "--audio:"},
        {{"--watch", "--audio", "a.wav"}, "--audio:"},
        {{"--scale", "2"}, "--scale: only with --video"},
        {{"--video", "v.mp4", "--scale", "0"}, "--scale: expected"},
        {{"--video", "v.mp4", "--scale", "9"}, "--scale: expected"},
        {{"--video", "v.mp4", "--scale", "2x"}, "--scale: expected"},
        {{"--video", "v.mp4", "--video", "w.mp4"}, "--video: given more than once"},
        {{"--record"}, "--record: missing value"},
        {{"--video", ""}, "--video: empty value"},
    };
    for (const auto &[args, message] : cases) {
        ReplayOptions o;
        std::string error;
        EXPECT_EQ(Parse(args, &o, &error), 2) << args[0];
        EXPECT_NE(error.find(message), std::string::npos) << "got '" << error << "', expected '" << message << "'";
    }
}

}  // namespace
