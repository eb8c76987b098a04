// A quit (Escape, Q or SDL's quit event) ends the program from every screen,
// but only once a screen polls the pad: the splash and game-over screens
// from their 62nd frame, the title from its count 31 until fire is seen, the
// game at the cannon's next update. The program then shuts down and exits 0.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/support.h"

using e2e::Csv;
using e2e::RunReplay;
using e2e::Scratch;

namespace {

struct Ending {
    long rows;  // trace rows: the passes that acted
    long lastPass;
    long lastState;
};

// Runs SCRIPT and reports where the main loop stopped; the pass after the
// last row is the one whose quit test ended it.
Ending RunUntilQuit(const std::string &script) {
    const std::string input = Scratch("input.txt");
    const std::string trace = Scratch("trace.csv");
    e2e::WriteFile(input, script);
    EXPECT_EQ(RunReplay({"--passes", "20000", "--input", input, "--trace", trace}), 0);
    const Csv t(trace);
    if (t.Rows() == 0) return {0, -1, -1};
    return {static_cast<long>(t.Rows()), t.Num(t.Rows() - 1, "pass"), t.Num(t.Rows() - 1, "state")};
}

TEST(QuitFromEveryScreen, TheTitleSeesItFromCountThirtyOne) {
    // Idle: the title enters at pass 182, so count 31 is pass 213.
    for (const char *how : {"quit", "key down escape", "key down q"}) {
        SCOPED_TRACE(how);
        const Ending e = RunUntilQuit(std::string("190 ") + how + "\n");
        EXPECT_EQ(e.lastPass, 213);
        EXPECT_EQ(e.lastState, 4);
        EXPECT_EQ(e.rows, 214);
    }
}

TEST(QuitFromEveryScreen, TheFastBlinkDoesNotPollSoTheGameSeesIt) {
    // Fire held from the start: the title sees it at pass 95 and stops
    // reading the pad; the game's first step (pass 186) is the next poll.
    const Ending e = RunUntilQuit("0 key down z\n100 quit\n");
    EXPECT_EQ(e.lastPass, 186);
    EXPECT_EQ(e.lastState, 6);
}

TEST(QuitFromEveryScreen, ThePlayingCannonSeesItInTheSameFrame) {
    const Ending e = RunUntilQuit("0 key down z\n250 key down escape\n");
    EXPECT_EQ(e.lastPass, 250);
    EXPECT_EQ(e.lastState, 6);
}

TEST(QuitFromEveryScreen, TheGameOverScreenSeesItAtItsSixtySecondFrame) {
    // First find where the held-fire game ends, then quit just after.
    const std::string input = Scratch("input.txt");
    const std::string trace = Scratch("trace.csv");
    e2e::WriteFile(input, "0 key down z\n");
    ASSERT_EQ(RunReplay({"--passes", "20000", "--input", input, "--trace", trace}), 0);
    const Csv t(trace);
    long over = -1;
    for (std::size_t r = 0; r < t.Rows() && over < 0; ++r) {
        if (t.Num(r, "state") == 7) over = t.Num(r, "pass");
    }
    ASSERT_GT(over, 0) << "the held-fire game never ended";

    const Ending e = RunUntilQuit("0 key down z\n" + std::to_string(over + 1) + " quit\n");
    EXPECT_EQ(e.lastPass, over + 62);  // frame k of the screen is pass over + k
    EXPECT_EQ(e.lastState, 8);
}

}  // namespace
