#include "platform/pad_events.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <csignal>

namespace {

// The event types the pad reads. Every other type (the mouse, hats, balls,
// window and user events) is kept out of SDL's queue, which holds only 128:
// in the stretches when no step polls, a moving mouse would fill it and
// the keys pressed after would be dropped.
constexpr std::array<Uint8, 6> READ_EVENTS{SDL_KEYDOWN,       SDL_KEYUP,       SDL_JOYAXISMOTION,
                                           SDL_JOYBUTTONDOWN, SDL_JOYBUTTONUP, SDL_QUIT};

// Set when SDL posts a quit (the window's close, SIGINT, SIGTERM), before
// it tries the queue: a full queue cannot lose it. SDL may post from its
// signal handler.
volatile std::sig_atomic_t quitPosted = 0;

// A filter installed before the pad's (the replay runner's recorder holds
// input back until a pass begins) still decides what enters the queue; a
// quit is noted only when it is let in.
SDL_EventFilter earlierFilter = nullptr;

int SDLCALL NoteQuit(const SDL_Event *event) {
    const int admitted = earlierFilter != nullptr ? earlierFilter(event) : 1;
    if (admitted != 0 && event->type == SDL_QUIT) quitPosted = 1;
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
