// The whole program through the replay runner's code, for a long stream of
// seeded random input, with the invariants checked after every pass.
// ZM_SOAK_PASSES sets the length (200000 by default), ZM_SOAK_SEED the seed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

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

// Bytes from a fixed list, then zeros.
class ListedChaos : public ChaosSource {
public:
    explicit ListedChaos(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    std::uint8_t Next() override { return next_ < bytes_.size() ? bytes_[next_++] : 0; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t next_ = 0;
};

// Every event the generator makes is one SDL can queue and hand back: a
// type at or above SDL_NUMEVENTS is an undefined shift in SDL's queue, and
// on 32-bit ARM such an event stays queued until the queue is full.
TEST(Chaos, EveryEventItMakesComesBackOutOfSdlsQueue) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Event stray;
    while (SDL_PollEvent(&stray) != 0) {
    }

    std::set<int> types;
    auto check = [&types](ChaosSource &source, int count) {
        for (int i = 0; i < count; ++i) {
            SDL_Event e;
            if (!Chaos_MakeEvent(source, true, &e)) continue;
            ASSERT_LT(e.type, SDL_NUMEVENTS);
            types.insert(e.type);
            ASSERT_EQ(SDL_PushEvent(&e), 0) << "event type " << int{e.type} << ": " << SDL_GetError();
            SDL_Event out;
            ASSERT_EQ(SDL_PollEvent(&out), 1) << "event type " << int{e.type} << " stayed in the queue";
            ASSERT_EQ(out.type, e.type);
        }
    };
    // The unknown-type case with every byte value, then a long random run.
    for (int a = 0; a < 256; ++a) {
        ListedChaos listed({11, static_cast<std::uint8_t>(a), 0});
        check(listed, 1);
    }
    SeededChaos seeded(7);
    check(seeded, 20000);
    SDL_Quit();
    // Still every kind of event, unknown ones up to the last type.
    EXPECT_TRUE(types.count(SDL_KEYDOWN) && types.count(SDL_JOYAXISMOTION) && types.count(SDL_JOYBUTTONUP));
    EXPECT_TRUE(types.count(SDL_QUIT) && types.count(SDL_USEREVENT) && types.count(SDL_NUMEVENTS - 1));
    EXPECT_FALSE(types.count(SDL_SYSWMEVENT));
}

}  // namespace
