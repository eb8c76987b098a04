// Play scenarios that need a player: the scripted bot drives the game in
// process through the replay runner's library, pass by pass, and the
// scenario is checked through the modules' views and the screen. The bot's
// input is then replayed by the real program to show it is a plain script.
#include <gtest/gtest.h>

#include <string>

#include "game/cannon.h"
#include "game/entry.h"
#include "game/fleet.h"
#include "game/game.h"
#include "game/shield.h"
#include "platform/gfx.h"
#include "tests/e2e/bot.h"
#include "tests/e2e/support.h"
#include "tools/replay/replay.h"

namespace {

int LitInScreen(int x, int y, int w, int h) {
    SDL_Surface *s = Gfx_View().screen;
    int n = 0;
    SDL_LockSurface(s);
    for (int j = y; j < y + h; ++j) {
        const auto *row = reinterpret_cast<const Uint32 *>(static_cast<const Uint8 *>(s->pixels) + j * s->pitch);
        for (int i = x; i < x + w; ++i) n += (row[i] & 0xFFFFFF) != 0 ? 1 : 0;
    }
    SDL_UnlockSurface(s);
    return n;
}

class Play : public ::testing::Test {
protected:
    void SetUp() override {
        ReplayOptions options;
        options.passes = 60000;
        std::string error;
        ASSERT_EQ(Replay_Open(options, &error), 0) << error;
        open_ = true;
    }
    void TearDown() override {
        if (open_) {
            EXPECT_EQ(Replay_Close(), 0);
        }
    }
    // One pass with the bot's keys; false when the run is over.
    bool Pass(Bot &bot) {
        const ReplayView v = Replay_View();
        bot.BeforePass(v.nextPass, v.state);
        return Replay_Pass() != 0;
    }
    bool open_ = false;
};

TEST_F(Play, ClearedFormationComesBackLowerWithTheShieldsRebuilt) {
    Bot bot(BotOptions{});
    bool damaged = false;
    int lostBlock = -1;
    long rebuilt = -1;
    int scoreBefore = 0;
    int livesBefore = 0;
    while (Pass(bot)) {
        const ReplayView v = Replay_View();
        ASSERT_NE(v.state, STATE_GAME_OVER_ENTER) << "the bot lost its first game at pass " << v.nextPass;
        if (v.state != STATE_GAME) continue;
        const GameView g = Game_View();
        if (g.wave == 0) {
            scoreBefore = g.score;
            livesBefore = g.lives;
            for (int i = 0; i < SHIELD_BLOCKS; ++i) {
                if (Shield_View().blocks[static_cast<std::size_t>(i)].alive == 0) {
                    damaged = true;
                    lostBlock = i;
                }
            }
            continue;
        }
        rebuilt = v.nextPass - 1;
        break;
    }
    ASSERT_GT(rebuilt, 0) << "the formation was never cleared";
    ASSERT_TRUE(damaged) << "the shields were never hit, so the rebuild shows nothing";

    // The new formation: laid out lower, every alien back, none drawn yet.
    const FleetView f = Fleet_View();
    EXPECT_EQ(Game_View().wave, 1);
    EXPECT_EQ(Fleet_Count(), FLEET_SIZE);
    for (int r = 0; r < FLEET_ROWS; ++r) {
        for (int c = 0; c < FLEET_COLS; ++c) {
            const Alien &a = (f.aliens)[static_cast<std::size_t>(r * FLEET_COLS + c)];
            EXPECT_EQ(a.x, 16 + 16 * c);
            EXPECT_EQ(a.y, 136 - 12 * r);
            EXPECT_EQ(a.type, r / 2 + 1);
        }
    }
    EXPECT_EQ(f.cursor, 0);
    // Every block stands again and the score and reserve carry on.
    for (const ShieldBlock &b : Shield_View().blocks) EXPECT_EQ(b.alive, 1);
    // The last alien's explosion ends while the shot is still held back.
    EXPECT_EQ(Game_View().score, scoreBefore);
    EXPECT_GE(Game_View().score, 60 * 10);
    EXPECT_EQ(Game_View().lives, livesBefore);

    // The next present shows the rebuilt block that had been destroyed.
    Bot idle(BotOptions{false, true});
    ASSERT_TRUE(Pass(idle));
    const ShieldBlock &b = Shield_View().blocks[static_cast<std::size_t>(lostBlock)];
    EXPECT_GT(LitInScreen(b.x, b.y, 4, 8), 0) << "block " << lostBlock;

    // The bot's input, replayed by the program, clears the formation at the
    // same pass.
    const std::string script = e2e::Scratch("bot.txt");
    const std::string trace = e2e::Scratch("trace.csv");
    e2e::WriteFile(script, bot.Script());
    ASSERT_EQ(e2e::RunReplay({"--input", script, "--passes", std::to_string(rebuilt + 1), "--trace", trace}), 0);
    const e2e::Csv t(trace);
    ASSERT_EQ(t.Rows(), static_cast<std::size_t>(rebuilt + 1));
    EXPECT_EQ(t.Num(rebuilt - 1, "wave"), 0);
    EXPECT_EQ(t.Num(rebuilt, "wave"), 1);
    EXPECT_EQ(t.Cell(rebuilt, "shields"), std::string(48, '1'));
}

TEST_F(Play, LandingEndsTheGameWithCannonsInReserve) {
    Bot bot(BotOptions{false, true});
    long landed = -1;
    GameView last{};
    while (Pass(bot)) {
        const ReplayView v = Replay_View();
        if (v.state == STATE_GAME) last = Game_View();
        if (v.state == STATE_GAME_OVER_ENTER) {
            landed = v.nextPass - 1;
            break;
        }
    }
    ASSERT_GT(landed, 0);
    const GameView g = Game_View();
    EXPECT_GE(g.lives, 1) << "the bot lost cannons; no reserve left to show";
    EXPECT_EQ(g.lives, last.lives);
    int lowest = 0;
    for (const Alien &a : Fleet_View().aliens) {
        if (a.type != 0 && a.y > lowest) lowest = a.y;
    }
    EXPECT_GT(lowest, 207);
    EXPECT_EQ(Cannon_View().blastTimer, 0);
}

}  // namespace
