// The pad's events on Windows: as on Linux (platform/pad_events.cpp), every
// type the pad does not read is kept out of SDL's queue and a quit is noted
// as SDL posts it. One more: Windows' joystick API reports a pad's d-pad
// as a hat, which the pad does not read, so the filter turns each change of
// a hat into the d-pad's button presses and releases of the layout Windows
// uses (PAD_LAYOUT_BROWSER: up 12, down 13, left 14, right 15) and drops
// the hat event itself.
#include "platform/pad_events.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdint>

namespace {

constexpr std::array<Uint8, 7> READ_EVENTS{SDL_KEYDOWN,     SDL_KEYUP,        SDL_JOYAXISMOTION, SDL_JOYBUTTONDOWN,
                                           SDL_JOYBUTTONUP, SDL_JOYHATMOTION, SDL_QUIT};

struct HatButton {
    Uint8 direction;  // SDL_HAT_*
    Uint8 button;
};
constexpr std::array<HatButton, 4> HAT_BUTTONS{
    {{SDL_HAT_UP, 12}, {SDL_HAT_DOWN, 13}, {SDL_HAT_LEFT, 14}, {SDL_HAT_RIGHT, 15}}};
constexpr int HAT_PADS = 2;  // pads above 1 are not read

volatile std::sig_atomic_t quitPosted = 0;
SDL_EventFilter earlierFilter = nullptr;
std::array<Uint8, HAT_PADS> hatHeld{};  // each pad's first hat, as last seen

void HatToButtons(const SDL_JoyHatEvent &hat) {
    if (hat.which >= HAT_PADS || hat.hat != 0) return;
    const Uint8 was = hatHeld[hat.which];
    hatHeld[hat.which] = hat.value;
    for (const HatButton &b : HAT_BUTTONS) {
        const bool down = (hat.value & b.direction) != 0;
        if (down == ((was & b.direction) != 0)) continue;
        SDL_Event e{};
        e.jbutton.type = down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
        e.jbutton.which = hat.which;
        e.jbutton.button = b.button;
        e.jbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
        SDL_PushEvent(&e);
    }
}

int SDLCALL NoteQuit(const SDL_Event *event) {
    const int admitted = earlierFilter != nullptr ? earlierFilter(event) : 1;
    if (admitted == 0) return 0;
    if (event->type == SDL_JOYHATMOTION) {
        HatToButtons(event->jhat);
        return 0;
    }
    if (event->type == SDL_QUIT) quitPosted = 1;
    return admitted;
}

bool ReadEvent(int type) {
    return std::any_of(READ_EVENTS.begin(), READ_EVENTS.end(), [type](Uint8 t) { return t == type; });
}

}  // namespace

void PadEvents_Install() {
    for (int type = SDL_NOEVENT + 1; type < SDL_NUMEVENTS; ++type) {
        if (!ReadEvent(type)) SDL_EventState(static_cast<Uint8>(type), SDL_IGNORE);
    }
    quitPosted = 0;
    hatHeld = {};
    earlierFilter = SDL_GetEventFilter();
    if (earlierFilter == NoteQuit) earlierFilter = nullptr;
    SDL_SetEventFilter(NoteQuit);
}

void PadEvents_Remove() {
    SDL_SetEventFilter(earlierFilter);
    earlierFilter = nullptr;
}

int PadEvents_TakeQuit() {
    if (quitPosted == 0) return 0;
    quitPosted = 0;
    return 1;
}
