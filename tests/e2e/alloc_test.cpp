// No heap allocation after start-up: every allocation the process makes is
// counted (malloc and its relatives are replaced in this executable, and
// operator new goes through malloc), and 10,000 passes of busy play through
// the replay runner's library, with the trace and the event log written,
// must make none.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>

#include "game/entry.h"
#include "tests/e2e/support.h"
#include "tools/replay/replay.h"

extern "C" {
void *__libc_malloc(std::size_t size);
void *__libc_calloc(std::size_t n, std::size_t size);
void *__libc_realloc(void *p, std::size_t size);
void *__libc_memalign(std::size_t alignment, std::size_t size);
}

namespace {

std::atomic<long> allocations{0};

}  // namespace

extern "C" {
void *malloc(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}
void *calloc(std::size_t n, std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(n, size);
}
void *realloc(void *p, std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(p, size);
}
void *memalign(std::size_t alignment, std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_memalign(alignment, size);
}
void *aligned_alloc(std::size_t alignment, std::size_t size) { return memalign(alignment, size); }
int posix_memalign(void **out, std::size_t alignment, std::size_t size) {
    void *p = memalign(alignment, size);
    if (p == nullptr) return 12;  // ENOMEM
    *out = p;
    return 0;
}
}

namespace {

// Busy play: fire pressed every few passes from the start (which also
// starts each game from the title), the cannon sent left and right.
std::string BusyScript(long passes) {
    std::string s;
    bool left = false;
    for (long p = 0; p < passes; p += 3) {
        const bool down = (p / 3) % 2 == 0;
        s += std::to_string(p) + (down ? " key down z\n" : " key up z\n");
        if (p % 90 == 0) {
            s += std::to_string(p) + (left ? " key up left\n" : " key down left\n");
            s += std::to_string(p) + (left ? " key down right\n" : " key up right\n");
            left = !left;
        }
    }
    return s;
}

TEST(Allocations, TheCounterSeesMallocAndNew) {
    const long before = allocations.load();
    auto *p = new int(1);
    void *q = std::malloc(8);
    EXPECT_EQ(allocations.load() - before, 2);
    std::free(q);
    delete p;
}

TEST(Allocations, NoneInTenThousandPassesOfPlay) {
    constexpr long WARM_UP = 2000;  // into the first game; buffers filled once
    constexpr long COUNTED = 10000;
    const std::string script = e2e::Scratch("busy.txt");
    e2e::WriteFile(script, BusyScript(WARM_UP + COUNTED));

    ReplayOptions options;
    options.passes = WARM_UP + COUNTED;
    options.input = script;
    options.trace = e2e::Scratch("trace.csv");
    options.events = e2e::Scratch("events.csv");
    std::string error;
    ASSERT_EQ(Replay_Open(options, &error), 0) << error;
    while (Replay_View().nextPass < WARM_UP) ASSERT_NE(Replay_Pass(), 0);
    ASSERT_EQ(Replay_View().state, STATE_GAME);

    long inGame = 0;
    const long before = allocations.load();
    for (long i = 0; i < COUNTED; ++i) {
        if (Replay_Pass() == 0) break;
        inGame += Replay_View().state == STATE_GAME ? 1 : 0;
    }
    const long made = allocations.load() - before;
    const long ran = Replay_View().nextPass - WARM_UP;
    EXPECT_EQ(Replay_Close(), 0);
    EXPECT_EQ(ran, COUNTED);
    EXPECT_GT(inGame, COUNTED / 2);  // mostly play, not the screens between games
    EXPECT_EQ(made, 0);
}

}  // namespace
