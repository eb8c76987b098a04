// libFuzzer target: arbitrary bytes become a stream of SDL events of every
// kind, fed to the whole program for a bounded number of passes, with the
// same invariants as the soak. The program keeps running from one input to
// the next, so that long inputs and many short ones both reach deep play.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/soak/invariants.h"
#include "tools/replay/replay.h"

namespace {

class BufferChaos : public ChaosSource {
public:
    BufferChaos(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t Next() override { return pos_ < size_ ? data_[pos_++] : 0; }
    bool Done() const { return pos_ >= size_; }

private:
    const std::uint8_t *data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

bool running = false;

void Start() {
    ReplayOptions options;
    options.passes = 0x7FFFFFFF;
    std::string error;
    if (Replay_Open(options, &error) != 0) {
        std::fprintf(stderr, "game_fuzz: %s\n", error.c_str());
        std::abort();
    }
    Invariants_Install();
    Invariants_Restart();
    running = true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (!running) Start();
    BufferChaos chaos(data, size);
    // At most 4 passes an input (the program carries on into the next
    // input); each pass takes a count of events first.
    for (int pass = 0; pass < 4 && !chaos.Done(); ++pass) {
        const int n = chaos.Next() % 8;
        for (int i = 0; i < (n < 4 ? n : 0); ++i) {
            SDL_Event e;
            if (Chaos_MakeEvent(chaos, true, &e)) Replay_PushEvent(e);
        }
        const int acted = Replay_View().state;
        if (Replay_Pass() == 0) {
            // A quit ends the program; the next input meets a fresh start.
            Replay_Close();
            running = false;
            Start();
            continue;
        }
        Invariants_AfterPass(acted);
        if (Invariants_Failures() != 0) {
            std::fprintf(stderr, "game_fuzz: invariant broken: %s\n", Invariants_FirstFailure().c_str());
            std::abort();
        }
    }
    return 0;
}
