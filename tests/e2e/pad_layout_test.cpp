// The runner's pad layouts: one game played from the joystick buttons of
// each numbering gives one trace, and a script is read in the numbering it
// names, the command line's first.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/support.h"

using e2e::ReadFile;
using e2e::RunReplay;
using e2e::Scratch;
using e2e::WriteFile;

namespace {

struct Numbers {
    const char *name;
    int fire;
    int right;
};
constexpr Numbers HANDHELD{"handheld", 12, 6};
constexpr Numbers CONTROLLER{"controller", 0, 14};
constexpr Numbers BROWSER{"browser", 0, 15};

// Fire through the splash and the title, then fire and move right in play.
std::string Game(const Numbers &n, const std::string &heading) {
    const std::string fire = std::to_string(n.fire);
    const std::string right = std::to_string(n.right);
    return heading + "0 joy down 0 " + fire + "\n185 joy up 0 " + fire + "\n186 joy down 0 " + fire +
           "\n187 joy up 0 " + fire + "\n231 joy down 0 " + fire + "\n232 joy up 0 " + fire + "\n257 joy down 0 " +
           right + "\n300 joy up 0 " + right + "\n310 joy down 0 " + fire + "\n312 joy up 0 " + fire +
           "\n320 axis 0 0 -32000\n340 axis 0 0 0\n";
}

std::string Trace(const std::string &script, const std::vector<std::string> &extra, const std::string &name) {
    const std::string input = Scratch(name + ".txt");
    const std::string trace = Scratch(name + ".csv");
    WriteFile(input, script);
    std::vector<std::string> args{"--input", input, "--passes", "400", "--trace", trace};
    args.insert(args.end(), extra.begin(), extra.end());
    std::string err;
    EXPECT_EQ(RunReplay(args, &err), 0) << err;
    return ReadFile(trace);
}

TEST(PadLayouts, EachNumberingPlaysTheSameGameFromItsOwnButtons) {
    const std::string handheld = Trace(Game(HANDHELD, ""), {}, "handheld");
    // The game was played: a game started, the cannon moved and fired.
    const e2e::Csv csv(Scratch("handheld.csv"));
    const long start = e2e::FirstRowWhere(csv, "state", 6);
    ASSERT_GE(start, 0) << "no game started";
    const std::size_t last = csv.Rows() - 1;
    EXPECT_GT(csv.Num(last, "shot_count"), 0);
    EXPECT_NE(csv.Num(last, "cannon_x"), csv.Num(static_cast<std::size_t>(start), "cannon_x"));

    EXPECT_EQ(Trace(Game(HANDHELD, "# pad-layout handheld\n"), {}, "named-handheld"), handheld);
    EXPECT_EQ(Trace(Game(CONTROLLER, "# recorded\n# pad-layout controller\n"), {}, "controller"), handheld);
    EXPECT_EQ(Trace(Game(CONTROLLER, "#pad-layout controller\n"), {}, "controller-tight"), handheld);
    EXPECT_EQ(Trace(Game(BROWSER, ""), {"--pad-layout", "browser"}, "browser"), handheld);
    // The command line wins over the script's own line.
    EXPECT_EQ(Trace(Game(CONTROLLER, "# pad-layout browser\n"), {"--pad-layout", "controller"}, "override"), handheld);

    // Read in another numbering the same buttons mean other things: the
    // handheld's fire is the controller's d-pad down, and no game starts.
    const std::string misread = Trace(Game(HANDHELD, ""), {"--pad-layout", "controller"}, "misread");
    EXPECT_NE(misread, handheld);
    EXPECT_LT(e2e::FirstRowWhere(e2e::Csv(Scratch("misread.csv")), "state", 6), 0);
    // A layout line after the first event is only a comment.
    EXPECT_EQ(Trace(Game(HANDHELD, "") + "# pad-layout controller\n", {}, "late"), handheld);
}

TEST(PadLayouts, AnUnknownOrContradictoryLayoutIsRefusedBeforeAnyPass) {
    const std::string input = Scratch("input.txt");
    const std::string trace = Scratch("trace.csv");
    struct Case {
        std::string script;
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases{
        {"0 joy down 0 0\n", {"--pad-layout", "xbox"}, "--pad-layout: expected handheld, controller or browser"},
        {"0 joy down 0 0\n", {"--pad-layout", "Controller"}, "got 'Controller'"},
        {"# pad-layout xbox\n0 joy down 0 0\n", {}, "script line 1: pad-layout: expected"},
        {"# pad-layout controller\n\n# pad-layout browser\n", {}, "script line 3: a second, different pad-layout"},
        // A line that names a layout is well formed or refused, never a
        // silent comment, and whatever the command line says.
        {"# PAD-LAYOUT controller\n", {}, "script line 1: a pad-layout line reads"},
        {"# recorded\n# pad-layout\n", {}, "script line 2: a pad-layout line reads"},
        {"# pad-layout controller extra\n", {}, "a pad-layout line reads"},
        {"# pad-layout=controller\n", {}, "a pad-layout line reads"},
        {"## pad-layout controller\n", {}, "a pad-layout line reads"},
        {"# pad-layout CONTROLLER\n", {}, "script line 1: pad-layout: expected"},
        {"# pad-layout xbox\n", {"--pad-layout", "controller"}, "script line 1: pad-layout: expected"},
        {"# Pad-Layout controller\n", {"--pad-layout", "controller"}, "a pad-layout line reads"},
        {"# pad-layout controller\n# pad-layout browser\n",
         {"--pad-layout", "handheld"},
         "script line 2: a second, different pad-layout"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.script);
        WriteFile(input, c.script);
        std::remove(trace.c_str());
        std::vector<std::string> args{"--input", input, "--trace", trace};
        args.insert(args.end(), c.args.begin(), c.args.end());
        std::string err;
        EXPECT_EQ(RunReplay(args, &err), 2);
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        EXPECT_FALSE(e2e::FileExists(trace)) << "no pass ran";
    }
    // The same line twice is no contradiction.
    WriteFile(input, "# pad-layout controller\n# pad-layout controller\n0 joy down 0 0\n");
    std::string err;
    EXPECT_EQ(RunReplay({"--input", input, "--passes", "5"}, &err), 0) << err;
    // Words that only begin like the tag are a comment.
    WriteFile(input, "# pad-layouts are named on the command line\n0 joy down 0 0\n");
    EXPECT_EQ(RunReplay({"--input", input, "--passes", "5"}, &err), 0) << err;
}

}  // namespace
