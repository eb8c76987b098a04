// The screens around play, run through the real replay runner: the splash,
// the title's blink and start, the game-over screen, quitting, and the
// runner's own command line and determinism.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/support.h"

using e2e::Csv;
using e2e::FirstRowWhere;
using e2e::RowOfPass;
using e2e::RunReplay;
using e2e::Scratch;
using e2e::Shot;

namespace {

// Without input: pass 0 resets, pass 1 enters the splash, passes 2-181 are
// its 180 frames, pass 182 enters the title, title count c is pass 182 + c.
constexpr long TITLE_ENTER = 182;

// A score as the panel shows it: six digits.
std::string PanelDigits(long score) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%06ld", score);
    return digits;
}

// Rows of the event log of one kind, with the pass they happened in.
struct Event {
    long pass;
    std::vector<std::string> f;  // a..f
};
std::vector<Event> Events(const Csv &log, const std::string &kind) {
    std::vector<Event> out;
    for (std::size_t r = 0; r < log.Rows(); ++r) {
        if (log.Cell(r, "event") != kind) continue;
        Event e{log.Num(r, "pass"), {}};
        for (const char *c : {"a", "b", "c", "d", "e", "f"}) e.f.push_back(log.Cell(r, c));
        out.push_back(e);
    }
    return out;
}

long CountState(const Csv &trace, long state) {
    long n = 0;
    for (std::size_t r = 0; r < trace.Rows(); ++r) n += trace.Num(r, "state") == state ? 1 : 0;
    return n;
}

// Draws of glyphs at the "PUSH BUTTON" place: P for the words, F for blanks.
std::vector<std::pair<long, std::string>> PushButtonDraws(const Csv &log) {
    std::vector<std::pair<long, std::string>> out;
    for (const Event &e : Events(log, "draw")) {
        if (e.f[1] == "116" && e.f[2] == "180") out.emplace_back(e.pass, e.f[0]);
    }
    return out;
}

TEST(Splash, LastsOneHundredEightyFramesAndPollsFromItsSixtySecond) {
    const std::string trace = Scratch("trace.csv");
    const std::string events = Scratch("events.csv");
    ASSERT_EQ(RunReplay({"--passes", "190", "--trace", trace, "--events", events}), 0);
    const Csv t(trace);
    ASSERT_EQ(t.Rows(), 190u);
    EXPECT_EQ(CountState(t, 2), 180);
    EXPECT_EQ(t.Num(181, "state"), 2);
    EXPECT_EQ(t.Num(181, "presents"), 180);
    EXPECT_EQ(t.Num(182, "state"), 3);
    EXPECT_EQ(t.Num(1, "screen_timer"), 180);
    const std::vector<Event> polls = Events(Csv(events), "poll");
    ASSERT_FALSE(polls.empty());
    EXPECT_EQ(polls.front().pass, 63);  // the splash's 62nd frame
}

TEST(Splash, FireHeldEndsItAtItsSixtySecondFrame) {
    const std::string script = Scratch("input.txt");
    const std::string trace = Scratch("trace.csv");
    e2e::WriteFile(script, "# fire held from the start\n0 key down z\n");
    ASSERT_EQ(RunReplay({"--passes", "100", "--input", script, "--trace", trace}), 0);
    const Csv t(trace);
    EXPECT_EQ(CountState(t, 2), 62);
    EXPECT_EQ(t.Num(63, "state"), 2);
    EXPECT_EQ(t.Num(64, "state"), 3);
    // The title then starts its fast blink at count 31.
    EXPECT_EQ(t.Num(RowOfPass(t, 64 + 31), "flash_timer"), 89);
    EXPECT_EQ(t.Num(RowOfPass(t, 64 + 30), "flash_timer"), 0);
}

TEST(Title, BlinksThirtyFramesOnThirtyOffAndIgnoresThePadAtFirst) {
    const std::string trace = Scratch("trace.csv");
    const std::string events = Scratch("events.csv");
    const std::string on = Scratch("on.bmp");
    const std::string off = Scratch("off.bmp");
    ASSERT_EQ(RunReplay({"--passes", "400", "--trace", trace, "--events", events, "--screenshot",
                         std::to_string(TITLE_ENTER + 61) + ":" + on, "--screenshot",
                         std::to_string(TITLE_ENTER + 91) + ":" + off}),
              0);
    const Csv log(events);
    // Queued at counts 30, 60, 90, ... and shown by the next step's present:
    // blanks at count 30 first, the words from count 60.
    const std::vector<std::pair<long, std::string>> expected{
        {TITLE_ENTER + 31, "F"},  {TITLE_ENTER + 61, "P"},  {TITLE_ENTER + 91, "F"},  {TITLE_ENTER + 121, "P"},
        {TITLE_ENTER + 151, "F"}, {TITLE_ENTER + 181, "P"}, {TITLE_ENTER + 211, "F"},
    };
    std::vector<std::pair<long, std::string>> firsts;
    for (const auto &d : PushButtonDraws(log)) {
        if (firsts.empty() || firsts.back().first != d.first) firsts.push_back(d);
    }
    EXPECT_EQ(firsts, expected);
    // The pad is first read at count 31.
    for (const Event &e : Events(log, "poll")) {
        if (e.pass > TITLE_ENTER) {
            EXPECT_EQ(e.pass, TITLE_ENTER + 31);
            break;
        }
    }
    const Shot shownOn(on);
    const Shot shownOff(off);
    ASSERT_TRUE(shownOn.Loaded());
    ASSERT_TRUE(shownOff.Loaded());
    EXPECT_EQ(shownOn.TextAt(116, 180, 11), "PUSH BUTTON");
    EXPECT_EQ(shownOff.Lit(116, 180, 88, 8), 0);
    EXPECT_GT(shownOff.Lit(0, 0, 320, 170), 1000);  // the title picture stays
}

TEST(Title, FireAtCountFortyFiveFlipsEveryTwoFramesAndStartsTheGame) {
    const long fire = TITLE_ENTER + 45;
    const std::string script = Scratch("input.txt");
    const std::string trace = Scratch("trace.csv");
    const std::string events = Scratch("events.csv");
    e2e::WriteFile(script, std::to_string(fire) + " key down space\n" + std::to_string(fire + 1) + " key up space\n");
    ASSERT_EQ(RunReplay({"--passes", "330", "--input", script, "--trace", trace, "--events", events}), 0);
    const Csv t(trace);
    const long r = RowOfPass(t, fire);
    EXPECT_EQ(t.Num(r, "flash_timer"), 89);
    EXPECT_EQ(t.Num(r, "screen_timer"), 59);
    EXPECT_EQ(t.Num(r + 1, "screen_timer"), 74);   // count 60, snapped
    EXPECT_EQ(t.Num(r + 2, "screen_timer"), 89);   // count 75
    EXPECT_EQ(t.Num(r + 3, "screen_timer"), 104);  // count 90
    // The last title step is the 89th after the fire step.
    EXPECT_EQ(t.Num(RowOfPass(t, fire + 89), "state"), 4);
    EXPECT_EQ(t.Num(RowOfPass(t, fire + 89), "flash_timer"), 0);
    EXPECT_EQ(t.Num(RowOfPass(t, fire + 90), "state"), 5);

    const Csv log(events);
    std::vector<std::pair<long, std::string>> firsts;
    for (const auto &d : PushButtonDraws(log)) {
        if (d.first > fire && (firsts.empty() || firsts.back().first != d.first)) firsts.push_back(d);
    }
    ASSERT_GE(firsts.size(), 3u);
    EXPECT_EQ(firsts[0], std::make_pair(fire + 2, std::string("P")));  // count 60
    EXPECT_EQ(firsts[1], std::make_pair(fire + 4, std::string("F")));  // count 90
    EXPECT_EQ(firsts[2], std::make_pair(fire + 6, std::string("P")));  // count 120

    int starts = 0;
    for (const Event &e : Events(log, "snd")) {
        if (e.f[0] == "2" && e.f[1] == "6") {
            EXPECT_EQ(e.pass, fire);
            EXPECT_EQ(e.f[2], "0");
            ++starts;
        }
    }
    EXPECT_EQ(starts, 1);
}

TEST(Quit, EscapeDuringTheSplashActsAtItsSixtySecondFrame) {
    for (const char *how : {"key down escape", "key down q", "quit"}) {
        SCOPED_TRACE(how);
        const std::string script = Scratch("input.txt");
        const std::string trace = Scratch("trace.csv");
        const std::string events = Scratch("events.csv");
        e2e::WriteFile(script, std::string("5 ") + how + "\n");
        ASSERT_EQ(RunReplay({"--input", script, "--trace", trace, "--events", events}), 0);
        const Csv t(trace);
        ASSERT_EQ(t.Rows(), 64u);  // passes 0-63; pass 64's quit test ends the loop
        EXPECT_EQ(t.Num(63, "pass"), 63);
        EXPECT_EQ(t.Num(63, "state"), 2);
        const Csv log(events);
        ASSERT_GT(log.Rows(), 0u);
        EXPECT_EQ(log.Num(log.Rows() - 1, "pass"), 63);
        EXPECT_EQ(log.Cell(log.Rows() - 1, "event"), "poll");
    }
}

// A game whose fire button is held from start-up: short splash and title,
// one shot, then the cannon stands at x 10 under the bombs.
class HeldFire : public ::testing::Test {
protected:
    static constexpr long GAME_ENTER = 185;
};

TEST_F(HeldFire, FirstFramesDrawAlienZeroFirstAndTheCannonInTheSecondUpdate) {
    const std::string script = Scratch("input.txt");
    const std::string trace = Scratch("trace.csv");
    const std::string events = Scratch("events.csv");
    e2e::WriteFile(script, "0 key down z\n");
    ASSERT_EQ(RunReplay({"--passes", "200", "--input", script, "--trace", trace, "--events", events}), 0);
    const Csv t(trace);
    ASSERT_EQ(t.Num(GAME_ENTER, "state"), 5);
    EXPECT_EQ(t.Num(GAME_ENTER, "lives"), 2);
    EXPECT_EQ(t.Num(GAME_ENTER, "cannon_x"), 10);
    EXPECT_EQ(t.Num(GAME_ENTER + 1, "state"), 6);
    EXPECT_EQ(t.Num(GAME_ENTER + 1, "alien_x_sum"), 5280 + 4);
    EXPECT_EQ(t.Num(GAME_ENTER + 1, "cursor"), 1);

    // The first frame's draws are executed by the second frame's present.
    long alienZero = -1;
    long cannon = -1;
    for (const Event &e : Events(Csv(events), "draw")) {
        if (e.pass <= GAME_ENTER) continue;
        if (alienZero < 0 && e.f[0] == "P" && e.f[2] == "104") {
            alienZero = e.pass;
            EXPECT_EQ(e.f[1], "14");  // centre 20, 12 wide
        }
        if (cannon < 0 && e.f[0] == "P" && e.f[1] == "10" && e.f[2] == "216") cannon = e.pass;
    }
    EXPECT_EQ(alienZero, GAME_ENTER + 2);
    EXPECT_EQ(cannon, GAME_ENTER + 3);
}

TEST_F(HeldFire, ThreeCannonsThenGameOverWithTheScoreAndHighScore) {
    const std::string script = Scratch("input.txt");
    const std::string trace = Scratch("trace.csv");
    e2e::WriteFile(script, "0 key down z\n");
    ASSERT_EQ(RunReplay({"--passes", "20000", "--input", script, "--trace", trace}), 0);
    const Csv t(trace);
    // The passes at which each cannon is lost.
    std::vector<long> losses;
    long end = -1;
    for (std::size_t r = GAME_ENTER + 1; r < t.Rows() && end < 0; ++r) {
        if (t.Num(r, "lives") != t.Num(r - 1, "lives")) {
            EXPECT_EQ(t.Num(r, "lives"), t.Num(r - 1, "lives") - 1);
            losses.push_back(t.Num(r, "pass"));
        }
        if (t.Num(r, "state") == 7) end = static_cast<long>(r);
    }
    ASSERT_EQ(losses.size(), 3u);
    ASSERT_GT(end, 0);
    EXPECT_EQ(t.Num(end - 1, "pass"), losses[2]);  // the game ends in the step of the third loss
    EXPECT_EQ(t.Num(end - 1, "lives"), -1);
    EXPECT_EQ(t.Num(end - 1, "state"), 6);
    const long score = t.Num(end, "score");
    EXPECT_GT(score, 0);
    EXPECT_EQ(t.Num(end, "hi_score"), score);

    const std::string first = Scratch("first.bmp");
    const std::string second = Scratch("second.bmp");
    const std::string over = Scratch("over.bmp");
    ASSERT_EQ(RunReplay({"--passes", std::to_string(end + 2), "--input", script, "--screenshot",
                         std::to_string(losses[0] + 1) + ":" + first, "--screenshot",
                         std::to_string(losses[1] + 1) + ":" + second, "--screenshot",
                         std::to_string(t.Num(end, "pass")) + ":" + over}),
              0);
    const Shot one(first);
    const Shot none(second);
    const Shot gameOver(over);
    ASSERT_TRUE(one.Loaded() && none.Loaded() && gameOver.Loaded());
    EXPECT_EQ(one.TextAt(248, 80, 4), "REST");
    EXPECT_EQ(one.GlyphAt(256, 88), '1');
    EXPECT_GT(one.Lit(256, 96, 13, 8), 0);
    EXPECT_EQ(one.Lit(270, 96, 13, 8), 0);
    EXPECT_EQ(one.Lit(284, 96, 13, 8), 0);
    EXPECT_EQ(none.GlyphAt(256, 88), '0');
    EXPECT_EQ(none.Lit(256, 96, 41, 8), 0);

    const std::string digits = PanelDigits(score);
    EXPECT_EQ(gameOver.TextAt(124, 116, 9), "GAME OVER");
    EXPECT_EQ(gameOver.TextAt(248, 32, 5), "SCORE");
    EXPECT_EQ(gameOver.TextAt(256, 40, 6), digits);
    EXPECT_EQ(gameOver.TextAt(248, 56, 7), "HISCORE");
    EXPECT_EQ(gameOver.TextAt(256, 64, 6), digits);
    EXPECT_EQ(gameOver.Lit(0, 0, 320, 240), gameOver.Lit(124, 116, 72, 8) + gameOver.Lit(248, 32, 56, 40));
}

TEST_F(HeldFire, GameOverLastsThreeHundredFramesAndTheHighScoreOutlivesTheGame) {
    // Fire released during the game: the game-over screen runs its full
    // time. Fire is held again afterwards to start a second game.
    const std::string script = Scratch("input.txt");
    const std::string trace = Scratch("trace.csv");
    e2e::WriteFile(script, "0 key down z\n300 key up z\n");
    ASSERT_EQ(RunReplay({"--passes", "20000", "--input", script, "--trace", trace}), 0);
    const long e = FirstRowWhere(Csv(trace), "state", 7);
    ASSERT_GT(e, 0) << "the first game did not end";
    e2e::WriteFile(script, "0 key down z\n300 key up z\n" + std::to_string(e + 400) + " key down z\n");
    ASSERT_EQ(RunReplay({"--passes", std::to_string(e + 1000), "--input", script, "--trace", trace}), 0);
    const Csv t(trace);
    for (long k = 1; k <= 300; ++k) ASSERT_EQ(t.Num(e + k, "state"), 8) << k;
    EXPECT_EQ(t.Num(e + 300, "screen_timer"), 0);
    EXPECT_EQ(t.Num(e + 301, "state"), 1);  // then the splash again

    // The second game: the panel and the controller keep the first score as
    // the high score; nothing resets it, it never falls.
    const long firstScore = t.Num(e, "score");
    const long secondStart = FirstRowWhere(t, "state", 5, e);
    ASSERT_GT(secondStart, 0) << "no second game";
    EXPECT_EQ(t.Num(secondStart, "hi_score"), firstScore);
    EXPECT_EQ(t.Num(secondStart, "score"), 0);
    for (std::size_t r = 2; r < t.Rows(); ++r) ASSERT_GE(t.Num(r, "hi_score"), t.Num(r - 1, "hi_score"));

    const std::string panel = Scratch("panel.bmp");
    ASSERT_EQ(RunReplay({"--passes", std::to_string(secondStart + 3), "--input", script, "--screenshot",
                         std::to_string(secondStart + 2) + ":" + panel}),
              0);
    const std::string digits = PanelDigits(firstScore);
    const Shot shot(panel);
    ASSERT_TRUE(shot.Loaded());
    EXPECT_EQ(shot.TextAt(256, 64, 6), digits);
    EXPECT_EQ(shot.TextAt(256, 40, 6), "000000");

    // A new process starts from a high score of 0.
    const std::string again = Scratch("again.csv");
    ASSERT_EQ(RunReplay({"--passes", std::to_string(secondStart + 1), "--input", script, "--trace", again}), 0);
    EXPECT_EQ(Csv(again).Num(185, "hi_score"), 0);
}

TEST_F(HeldFire, ThePanelKeepsTheEarlierBestWhileTheScorePassesItUntilGameOver) {
    // A first game with fire held sets the best; in the second the cannon
    // stands at x 10 and taps fire every 30 frames, which scores more.
    const std::string script = Scratch("input.txt");
    const std::string trace = Scratch("trace.csv");
    e2e::WriteFile(script, "0 key down z\n");
    ASSERT_EQ(RunReplay({"--passes", "20000", "--input", script, "--trace", trace}), 0);
    long second = -1;
    long best = -1;
    {
        const Csv t(trace);
        const long firstOver = FirstRowWhere(t, "state", 7);
        second = firstOver < 0 ? -1 : FirstRowWhere(t, "state", 5, firstOver);
        ASSERT_GT(second, 0) << "no second game";
        best = t.Num(firstOver, "hi_score");
    }
    ASSERT_GT(best, 0);
    std::string taps = "0 key down z\n" + std::to_string(second + 10) + " key up z\n";
    for (long p = second + 20; p < second + 8000; p += 30) {
        taps += std::to_string(p) + " key down z\n" + std::to_string(p + 5) + " key up z\n";
    }
    e2e::WriteFile(script, taps);
    ASSERT_EQ(RunReplay({"--passes", std::to_string(second + 8000), "--input", script, "--trace", trace}), 0);
    const Csv t(trace);
    const long over = FirstRowWhere(t, "state", 7, second);
    ASSERT_GT(over, 0) << "the second game did not end";
    const long score = t.Num(over, "score");
    ASSERT_GT(score, best) << "the second game no longer beats the first";

    // Through the whole game the best stays the first game's, even once the
    // score has passed it; the game's last step raises it.
    long passedAt = -1;
    for (long r = second; r < over - 1; ++r) {
        ASSERT_EQ(t.Num(r, "hi_score"), best) << "pass " << r;
        if (passedAt < 0 && t.Num(r, "score") > best) passedAt = r;
    }
    ASSERT_GT(passedAt, 0);
    EXPECT_EQ(t.Num(over - 1, "state"), 6);
    EXPECT_EQ(t.Num(over - 1, "hi_score"), score);

    // The panel of the last frames of play, and the game-over screen.
    const std::string passing = Scratch("passing.bmp");
    const std::string last = Scratch("last.bmp");
    const std::string gameOver = Scratch("over.bmp");
    ASSERT_EQ(RunReplay({"--passes", std::to_string(over + 1), "--input", script, "--screenshot",
                         std::to_string(passedAt + 1) + ":" + passing, "--screenshot",
                         std::to_string(over - 1) + ":" + last, "--screenshot", std::to_string(over) + ":" + gameOver}),
              0);
    const Shot shownPassing(passing);
    const Shot shownLast(last);
    const Shot shownOver(gameOver);
    ASSERT_TRUE(shownPassing.Loaded() && shownLast.Loaded() && shownOver.Loaded());
    EXPECT_EQ(shownPassing.TextAt(256, 40, 6), PanelDigits(t.Num(passedAt, "score")));
    EXPECT_EQ(shownPassing.TextAt(256, 64, 6), PanelDigits(best));
    EXPECT_EQ(shownLast.TextAt(256, 40, 6), PanelDigits(t.Num(over - 2, "score")));
    EXPECT_EQ(shownLast.TextAt(256, 64, 6), PanelDigits(best));
    EXPECT_EQ(shownOver.TextAt(124, 116, 9), "GAME OVER");
    EXPECT_EQ(shownOver.TextAt(256, 40, 6), PanelDigits(score));
    EXPECT_EQ(shownOver.TextAt(256, 64, 6), PanelDigits(score));
}

TEST(Runner, SameScriptGivesByteIdenticalFiles) {
    const std::string script = Scratch("input.txt");
    e2e::WriteFile(script, "0 key down z\n250 key down right\n300 key up right\n310 key up z\n320 key down z\n");
    std::vector<std::string> outputs[2];
    for (int run = 0; run < 2; ++run) {
        const std::string tag = std::to_string(run);
        const std::string trace = Scratch("trace" + tag + ".csv");
        const std::string events = Scratch("events" + tag + ".csv");
        const std::string audio = Scratch("audio" + tag + ".wav");
        const std::string shot = Scratch("shot" + tag + ".bmp");
        ASSERT_EQ(RunReplay({"--passes", "1500", "--input", script, "--trace", trace, "--events", events, "--audio",
                             audio, "--screenshot", "700:" + shot}),
                  0);
        for (const std::string &f : {trace, events, audio, shot}) outputs[run].push_back(e2e::ReadFile(f));
    }
    for (std::size_t i = 0; i < outputs[0].size(); ++i) {
        EXPECT_FALSE(outputs[0][i].empty()) << i;
        EXPECT_TRUE(outputs[0][i] == outputs[1][i]) << "output " << i << " differs";
    }
}

TEST(Runner, AudioIsOneBlockForEveryTwoPresents) {
    const std::string script = Scratch("input.txt");
    const std::string trace = Scratch("trace.csv");
    const std::string audio = Scratch("audio.wav");
    e2e::WriteFile(script, "0 key down z\n");
    ASSERT_EQ(RunReplay({"--passes", "400", "--input", script, "--trace", trace, "--audio", audio}), 0);
    const Csv t(trace);
    const long presents = t.Num(t.Rows() - 1, "presents");
    const std::string wav = e2e::ReadFile(audio);
    const std::size_t data = static_cast<std::size_t>(presents / 2) * 256;
    ASSERT_EQ(wav.size(), 44 + data);
    auto le32 = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(wav[at + i]);
        return v;
    };
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(le32(4), 36 + data);
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(le32(24), 8000u);
    EXPECT_EQ(static_cast<unsigned char>(wav[34]), 8);
    EXPECT_EQ(wav.substr(36, 4), "data");
    EXPECT_EQ(le32(40), data);
    // Silence on the splash; the start sound and the game after it are heard.
    EXPECT_EQ(wav.substr(44, 256 * 30), std::string(256 * 30, static_cast<char>(128)));
    EXPECT_NE(wav.substr(44 + 256 * 60), std::string(data - 256 * 60, static_cast<char>(128)));
}

TEST(Runner, AScreenshotThatCannotBeWrittenFailsTheRun) {
    // Refused before the first pass when its path is plainly unwritable.
    std::string err;
    EXPECT_EQ(RunReplay({"--passes", "3", "--screenshot", "1:no/such/dir/shot.bmp"}, &err), 2);
    EXPECT_NE(err.find("--screenshot"), std::string::npos) << err;
    EXPECT_NE(err.find("no/such/dir/shot.bmp"), std::string::npos) << err;
    // A write that fails only when the pass arrives fails the run.
    EXPECT_EQ(RunReplay({"--passes", "3", "--screenshot", "1:/dev/full"}, &err), 1);
    EXPECT_NE(err.find("--screenshot: cannot write '/dev/full'"), std::string::npos) << err;
    // A screenshot after the last pass would never be taken: refused too.
    EXPECT_EQ(RunReplay({"--passes", "3", "--screenshot", "5:" + Scratch("late.bmp")}), 2);
    EXPECT_FALSE(e2e::FileExists(Scratch("late.bmp")));
}

TEST(Runner, MalformedArgumentsAndScriptsExitTwoBeforeAnyPass) {
    struct Case {
        std::vector<std::string> args;
        std::string script;  // used when an --input follows
        std::string named;   // what the message must mention
    };
    const std::vector<Case> cases{
        {{"--passes"}, "", "--passes"},
        {{"--passes", "ten"}, "", "--passes"},
        {{"--passes", "-1"}, "", "--passes"},
        {{"--passes", "99999999999"}, "", "--passes"},
        {{"--passes", "2147483648"}, "", "--passes"},  // one past a 32-bit long: armel's
        {{"--bogus"}, "", "--bogus"},
        {{"stray"}, "", "stray"},
        {{"--screenshot", "12"}, "", "--screenshot"},
        {{"--screenshot", "x:a.bmp"}, "", "--screenshot"},
        {{"--screenshot", "5:"}, "", "--screenshot"},
        {{"--trace", "a.csv", "--trace", "b.csv"}, "", "--trace"},
        {{"--input", "no/such/file"}, "", "--input"},
        {{"--trace", "no/such/dir/t.csv"}, "", "--trace"},
        {{"--input"}, "1 key down z\n1 key down zz\n", "line 2"},
        {{"--input"}, "# c\n\n5 key down z\n4 key up z\n", "line 4"},
        {{"--input"}, "1 key sideways z\n", "line 1"},
        {{"--input"}, "1 joy down 256 0\n", "line 1"},
        {{"--input"}, "1 joy down 0\n", "line 1"},
        {{"--input"}, "1 axis 0 0 32768\n", "line 1"},
        {{"--input"}, "1 axis 0 0 -32769\n", "line 1"},
        {{"--input"}, "-1 quit\n", "line 1"},
        {{"--input"}, "1 quit now\n", "line 1"},
        {{"--input"}, "1 jump\n", "line 1"},
        {{"--input"}, "1\n", "line 1"},
        {{"--input"}, "1 key down 99999\n", "line 1"},
        // The last pass --passes can reach is 2147483646: a later one could
        // never be played.
        {{"--input"}, "2147483647 quit\n", "PASS must be a whole number 0-2147483646"},
        {{"--input"}, "2147483648 quit\n", "line 1"},
        {{"--input"}, "4294967296 quit\n", "line 1"},  // would wrap to 0 in 32 bits
    };
    for (const Case &c : cases) {
        std::vector<std::string> args = c.args;
        const std::string trace = Scratch("trace.csv");
        std::remove(trace.c_str());
        if (!c.script.empty()) {
            const std::string script = Scratch("input.txt");
            e2e::WriteFile(script, c.script);
            args.push_back(script);
            args.push_back("--trace");
            args.push_back(trace);
        }
        std::string err;
        SCOPED_TRACE(args.front() + " " + (args.size() > 1 ? args[1] : std::string()) + " / " + c.script);
        EXPECT_EQ(RunReplay(args, &err), 2);
        EXPECT_NE(err.find(c.named), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_FALSE(e2e::FileExists(trace)) << "a pass ran";
    }
    // Well-formed lines of every kind are accepted.
    const std::string script = Scratch("good.txt");
    e2e::WriteFile(script,
                   "  # comment\n0 key down 273\n0 key up up\n1 joy down 7 12\n1 joy up 0 255\n"
                   "2 axis 3 1 -32768\n2 axis 0 0 32767\r\n3 key down escape\n2147483646 quit\n");
    EXPECT_EQ(RunReplay({"--input", script, "--passes", "5"}), 0);
}

}  // namespace
