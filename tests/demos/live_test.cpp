// The recorder's gate, fed as SDL's event pump would feed it: held events
// enter SDL's queue only at pass boundaries, as many as it takes, in order,
// each written as the line it was pushed as; a flood never loses a quit.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/pad.h"
#include "tools/replay/live.h"
#include "tools/replay/replay.h"

namespace {

class Gate : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ASSERT_NE(SDL_SetVideoMode(320, 240, 32, SDL_SWSURFACE), nullptr);
        path_ = ::testing::UnitTest::GetInstance()->current_test_info()->name() + std::string(".rec.txt");
    }
    void TearDown() override {
        SDL_SetEventFilter(nullptr);
        SDL_Quit();
        std::remove(path_.c_str());
    }

    static void System(SDL_Event e) { EXPECT_EQ(replay::Live_Filter(&e), 0) << "an event went past the gate"; }
    static void SystemKey(SDLKey sym, bool down) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = sym;
        System(e);
    }
    static void SystemType(Uint8 type) {
        SDL_Event e{};
        e.type = type;
        System(e);
    }
    // Takes everything out of SDL's queue, as a pad poll does.
    static std::vector<SDL_Event> Drain() {
        std::vector<SDL_Event> got;
        SDL_Event e;
        while (SDL_PollEvent(&e)) got.push_back(e);
        return got;
    }
    std::vector<ReplayInput> Recording() const {
        std::ifstream in(path_);
        std::stringstream text;
        text << in.rdbuf();
        std::vector<ReplayInput> inputs;
        std::string error;
        EXPECT_EQ(Replay_ParseScript(text.str(), &inputs, &error), 0) << error;
        return inputs;
    }
    std::string LastLine() const {
        std::ifstream in(path_);
        std::string line;
        std::string last;
        while (std::getline(in, line)) last = line;
        return last;
    }

    std::string path_;
};

TEST_F(Gate, EventsWaitForTheBoundaryAndEnterAsTheirLinesRead) {
    std::string error;
    ASSERT_TRUE(replay::Live_Open(replay::LIVE_RECORD, path_, PAD_LAYOUT_CONTROLLER, &error)) << error;
    SystemKey(SDLK_SPACE, true);
    SystemType(SDL_MOUSEMOTION);  // nothing the game reads: never recorded
    SystemKey(SDLK_LEFT, true);
    EXPECT_TRUE(Drain().empty()) << "held events reached the queue before the boundary";

    ASSERT_TRUE(replay::Live_BeforePass(12));
    const std::vector<SDL_Event> got = Drain();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].type, SDL_KEYDOWN);
    EXPECT_EQ(got[0].key.keysym.sym, SDLK_SPACE);
    EXPECT_EQ(got[1].key.keysym.sym, SDLK_LEFT);

    SystemKey(SDLK_LEFT, false);
    ASSERT_TRUE(replay::Live_BeforePass(13));
    ASSERT_TRUE(replay::Live_BeforePass(14));  // nothing held: nothing written
    EXPECT_EQ(Drain().size(), 1u);
    ASSERT_TRUE(replay::Live_Close(15));
    EXPECT_EQ(LastLine(), "# 15 passes; replay with --passes 15");

    const std::vector<ReplayInput> rec = Recording();
    ASSERT_EQ(rec.size(), 3u);
    EXPECT_EQ(rec[0].pass, 12);
    EXPECT_EQ(rec[0].event.key.keysym.sym, SDLK_SPACE);
    EXPECT_EQ(rec[1].pass, 12);
    EXPECT_EQ(rec[2].pass, 13);
    EXPECT_EQ(rec[2].event.type, SDL_KEYUP);

    // The heading names the layout the pads were read in, for the replay.
    std::ifstream in(path_);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int layout = -1;
    EXPECT_EQ(Replay_ScriptLayout(text, &layout, &error), 1) << error;
    EXPECT_EQ(layout, PAD_LAYOUT_CONTROLLER);
}

TEST_F(Gate, AFullQueueDefersTheRestAndAFloodKeepsItsQuit) {
    std::string error;
    ASSERT_TRUE(replay::Live_Open(replay::LIVE_RECORD, path_, PAD_LAYOUT_HANDHELD, &error)) << error;
    constexpr int FLOOD = 3000;  // far more than the gate holds
    for (int i = 0; i < FLOOD; ++i) SystemKey(i % 2 == 0 ? SDLK_z : SDLK_x, true);
    SystemType(SDL_QUIT);

    // Nobody polls during the first pass: SDL's queue fills and the rest
    // waits for the passes after it, in order.
    ASSERT_TRUE(replay::Live_BeforePass(0));
    const std::size_t room = Drain().size();
    ASSERT_GT(room, 100u);
    long pass = 1;
    std::size_t total = room;
    for (; pass < 100; ++pass) {
        ASSERT_TRUE(replay::Live_BeforePass(pass));
        const std::size_t n = Drain().size();
        if (n == 0) break;
        EXPECT_LE(n, room);
        total += n;
    }
    ASSERT_TRUE(replay::Live_Close(pass));

    const std::vector<ReplayInput> rec = Recording();
    ASSERT_EQ(rec.size(), total) << "every line written was pushed, and only those";
    ASSERT_GT(rec.size(), 1000u);
    ASSERT_LT(rec.size(), static_cast<std::size_t>(FLOOD));
    EXPECT_EQ(rec.back().event.type, SDL_QUIT);
    for (std::size_t i = 0; i + 1 < rec.size(); ++i) {
        EXPECT_EQ(rec[i].event.key.keysym.sym, i % 2 == 0 ? SDLK_z : SDLK_x) << "line " << i;
        EXPECT_EQ(rec[i].pass, static_cast<long>(i / room)) << "line " << i;
    }
}

TEST_F(Gate, WatchingLetsNothingInAndStopsOnAQuit) {
    std::string error;
    ASSERT_TRUE(replay::Live_Open(replay::LIVE_WATCH, "", PAD_LAYOUT_HANDHELD, &error)) << error;
    SystemKey(SDLK_SPACE, true);
    SystemKey(SDLK_ESCAPE, false);  // a release is not a quit
    EXPECT_TRUE(replay::Live_BeforePass(0));
    EXPECT_TRUE(Drain().empty());
    SystemKey(SDLK_q, true);
    EXPECT_FALSE(replay::Live_BeforePass(1));
    EXPECT_TRUE(replay::Live_Close(2));

    ASSERT_TRUE(replay::Live_Open(replay::LIVE_WATCH, "", PAD_LAYOUT_HANDHELD, &error)) << error;
    EXPECT_TRUE(replay::Live_BeforePass(0)) << "a new watch starts again";
    SystemType(SDL_QUIT);  // the window closed
    EXPECT_FALSE(replay::Live_BeforePass(1));
    EXPECT_TRUE(Drain().empty());
    EXPECT_TRUE(replay::Live_Close(2));
}

}  // namespace
