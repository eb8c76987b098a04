// A quit (Escape, Q or SDL's quit event) ends the program from every screen,
// but only once a screen polls the pad: the splash and game-over screens
// from their 62nd frame, the title from its count 31 until fire is seen, the
// game at the cannon's next update. The program then shuts down and exits 0.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// The held-fire game's cannon blasts: the pass of each bomb hit (blast
// timer 90) and of the first row of the game-over screen.
struct HeldFireGame {
    std::vector<long> hits;
    long over = -1;
};

HeldFireGame RunHeldFire() {
    const std::string input = Scratch("held.txt");
    const std::string trace = Scratch("held.csv");
    e2e::WriteFile(input, "0 key down z\n");
    EXPECT_EQ(RunReplay({"--passes", "20000", "--input", input, "--trace", trace}), 0);
    const Csv t(trace);
    HeldFireGame g;
    for (std::size_t r = 1; r < t.Rows() && g.over < 0; ++r) {
        if (t.Num(r, "blast_timer") == 90 && t.Num(r - 1, "blast_timer") == 0) g.hits.push_back(t.Num(r, "pass"));
        if (t.Num(r, "state") == 7) g.over = t.Num(r, "pass");
    }
    return g;
}

TEST(QuitFromEveryScreen, TheCannonsBlastDoesNotPollSoTheQuitWaitsForItsEnd) {
    // A bomb hits in pass hit, after that pass's pad read; the wreck's 90
    // updates read nothing, and the next read is the arriving cannon's first
    // update, 91 passes on.
    const HeldFireGame g = RunHeldFire();
    ASSERT_EQ(g.hits.size(), 3u) << "the held-fire game no longer loses three cannons";
    const long hit = g.hits[0];
    for (const char *how : {"quit", "key down escape", "key down q"}) {
        for (long at : {hit + 1, hit + 45, hit + 90}) {
            SCOPED_TRACE(std::string(how) + " at blast frame " + std::to_string(at - hit));
            const Ending e = RunUntilQuit("0 key down z\n" + std::to_string(at) + " " + how + "\n");
            EXPECT_EQ(e.lastPass, hit + 91);
            EXPECT_EQ(e.lastState, 6);
        }
    }
    // In the pass of the hit the pad has already been read.
    EXPECT_EQ(RunUntilQuit("0 key down z\n" + std::to_string(hit) + " quit\n").lastPass, hit);
}

TEST(QuitFromEveryScreen, AfterTheLastCannonsBlastTheGameOverScreenSeesIt) {
    // The last blast ends the game without a read, and the game-over screen
    // reads the pad from its 62nd frame only.
    const HeldFireGame g = RunHeldFire();
    ASSERT_EQ(g.hits.size(), 3u) << "the held-fire game no longer loses three cannons";
    ASSERT_EQ(g.over, g.hits[2] + 91);
    for (long at : {g.hits[2] + 1, g.hits[2] + 90}) {
        SCOPED_TRACE(at - g.hits[2]);
        const Ending e = RunUntilQuit("0 key down z\n" + std::to_string(at) + " key down escape\n");
        EXPECT_EQ(e.lastPass, g.over + 62);
        EXPECT_EQ(e.lastState, 8);
    }
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
