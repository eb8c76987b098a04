// The harness's main(): sets SDL's dummy drivers unless the caller chose
// others, installs the virtual clock, starts the display and runs the tests.
#include "tests/harness/harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "assets/font.h"
#include "platform/gfx.h"

namespace harness {
namespace {

std::uint32_t clockNow = 1000;
std::uint32_t lastDelay = 0;
int delayCalls = 0;

std::uint32_t VirtualTicks() { return clockNow; }
void VirtualDelay(std::uint32_t ms) {
    lastDelay = ms;
    ++delayCalls;
    clockNow += ms;
}
constexpr GfxClock VIRTUAL_CLOCK{VirtualTicks, VirtualDelay};

void Push(SDL_Event &e) { ASSERT_EQ(SDL_PushEvent(&e), 0) << SDL_GetError(); }

// Saves the screen of every failing test so a person can look at it.
class ScreenOnFailure : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo &info) override {
        if (!info.result()->Failed() || Gfx_View().screen == nullptr) return;
        const std::string name = std::string(info.test_suite_name()) + "." + info.name();
        SaveScreen(name.c_str());
    }
};

}  // namespace

void ClockSet(std::uint32_t now) {
    clockNow = now;
    lastDelay = 0;
    delayCalls = 0;
}
void ClockAdvance(std::uint32_t ms) { clockNow += ms; }
std::uint32_t ClockNow() { return clockNow; }
std::uint32_t ClockLastDelay() { return lastDelay; }
int ClockDelayCalls() { return delayCalls; }

void PushKey(int sym, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = static_cast<SDLKey>(sym);
    Push(e);
}

void PushJoyButtonState(int pad, int button, bool down, std::uint8_t state) {
    SDL_Event e{};
    e.type = down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
    e.jbutton.which = static_cast<Uint8>(pad);
    e.jbutton.button = static_cast<Uint8>(button);
    e.jbutton.state = state;
    Push(e);
}

void PushJoyButton(int pad, int button, bool down) {
    PushJoyButtonState(pad, button, down, down ? SDL_PRESSED : SDL_RELEASED);
}

void PushAxis(int pad, int axis, int value) {
    SDL_Event e{};
    e.type = SDL_JOYAXISMOTION;
    e.jaxis.which = static_cast<Uint8>(pad);
    e.jaxis.axis = static_cast<Uint8>(axis);
    e.jaxis.value = static_cast<Sint16>(value);
    Push(e);
}

void PushQuit() {
    SDL_Event e{};
    e.type = SDL_QUIT;
    Push(e);
}

void DrainEvents() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
    }
}

std::uint32_t Pixel(int x, int y) {
    SDL_Surface *s = Gfx_View().screen;
    if (s == nullptr || x < 0 || y < 0 || x >= s->w || y >= s->h) {
        ADD_FAILURE() << "pixel (" << x << "," << y << ") is not on the screen";
        return 0;
    }
    SDL_LockSurface(s);
    const auto *row = static_cast<const std::uint8_t *>(s->pixels) + static_cast<std::size_t>(y) * s->pitch;
    const std::uint32_t v = reinterpret_cast<const std::uint32_t *>(row)[x];
    SDL_UnlockSurface(s);
    return v;
}

void FillSurface(std::uint32_t value) {
    SDL_Surface *s = Gfx_View().screen;
    if (s != nullptr) SDL_FillRect(s, nullptr, value);
}

void SaveScreen(const char *name) {
    SDL_Surface *s = Gfx_View().screen;
    if (s == nullptr) return;
    const std::string file = std::string(name) + ".bmp";
    SDL_SaveBMP(s, file.c_str());
}

}  // namespace harness

int main(int argc, char **argv) {
    ::testing::InitGoogleTest(&argc, argv);
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    Gfx_SetClock(&harness::VIRTUAL_CLOCK);
    Gfx_SetFont(&FONT);
    if (Gfx_Init() != 0) {
        std::fprintf(stderr, "harness: the display could not start: %s\n", SDL_GetError());
        return 1;
    }
    ::testing::UnitTest::GetInstance()->listeners().Append(new harness::ScreenOnFailure);
    return RUN_ALL_TESTS();
}
