// The whole program through the replay runner's code, for a long stream of
// seeded random input, with the invariants checked after every pass.
// ZM_SOAK_PASSES sets the length (200000 by default), ZM_SOAK_SEED the seed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "game/entry.h"
#include "tests/soak/invariants.h"
#include "tools/replay/replay.h"

namespace {

long EnvLong(const char *name, long fallback) {
    const char *v = std::getenv(name);
    return v != nullptr && *v != '\0' ? std::strtol(v, nullptr, 10) : fallback;
}

TEST(Soak, TheProgramHoldsItsInvariantsUnderRandomInput) {
    const long passes = EnvLong("ZM_SOAK_PASSES", 200000);
    const long seed = EnvLong("ZM_SOAK_SEED", 20261208);
    ReplayOptions options;
    options.passes = passes + 1000;
    std::string error;
    ASSERT_EQ(Replay_Open(options, &error), 0) << error;
    Invariants_Install();

    SeededChaos chaos(static_cast<std::uint64_t>(seed));
    long ran = 0;
    for (; ran < passes && Invariants_Failures() == 0; ++ran) {
        // Most passes bring nothing; some bring a burst of events.
        const int n = chaos.Next() % 16;
        for (int i = 0; i < (n < 4 ? n : 0); ++i) {
            SDL_Event e;
            if (Chaos_MakeEvent(chaos, false, &e)) {
                ASSERT_EQ(Replay_PushEvent(e), 0);
            }
        }
        const int acted = Replay_View().state;
        ASSERT_EQ(Replay_Pass(), 1) << "the program stopped at pass " << ran << " without a quit";
        Invariants_AfterPass(acted);
    }

    // Quit only at the end: the next screen that reads the pad sees it.
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    ASSERT_EQ(Replay_PushEvent(quit), 0);
    long after = 0;
    while (Replay_Pass() != 0) {
        ASSERT_LT(++after, 400) << "the quit was not seen";
    }
    EXPECT_EQ(Replay_Close(), 0);

    EXPECT_EQ(Invariants_Failures(), 0) << Invariants_FirstFailure();
    EXPECT_EQ(ran, passes);
    EXPECT_GT(Invariants_Games(), 0) << "the random input never started a game";
    EXPECT_GT(Invariants_Sounds(), 0);
    std::printf("soak: %ld passes, %ld games, %ld draws, %ld sound calls, seed %ld\n", ran, Invariants_Games(),
                Invariants_Draws(), Invariants_Sounds(), seed);
}

}  // namespace
