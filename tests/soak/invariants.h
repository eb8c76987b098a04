// Invariants of the whole program, checked while it runs on arbitrary
// input: every draw on the screen, the queue within its ring, every sound
// call valid, every entity within its documented range, lives never below
// -1, the score never falling within a game, the high score never falling.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <string>

// Installs the draw and sound observers (after Replay_Open, in place of the
// runner's own, so run it without a trace, event log or audio file).
void Invariants_Install();

// Checks the modules' state after a pass; `acted` is the state whose action
// the pass performed.
void Invariants_AfterPass(int acted);

// A new run of the program in the same process: the high score and the
// game baselines start again.
void Invariants_Restart();

long Invariants_Failures();
long Invariants_Games();
const std::string &Invariants_FirstFailure();
long Invariants_Draws();
long Invariants_Sounds();

// Turns bytes into SDL events of every kind the program may meet: keys in
// and outside its table, joystick buttons and axes of any pad, extreme axis
// values, unknown event types. Quit events and quit keys only when allowed.
class ChaosSource {
public:
    virtual ~ChaosSource() = default;
    virtual std::uint8_t Next() = 0;
};

// Fills *event from the source; false when it made nothing worth pushing.
bool Chaos_MakeEvent(ChaosSource &source, bool allowQuit, SDL_Event *event);

// A fixed-seed generator for long soaks (xorshift64*).
class SeededChaos : public ChaosSource {
public:
    explicit SeededChaos(std::uint64_t seed) : state_(seed != 0 ? seed : 1) {}
    std::uint8_t Next() override;

private:
    std::uint64_t state_;
};
