#include "platform/sdl_layer.h"

#include <SDL.h>

namespace {
constexpr int FIRST_LAYER_PATCH = 50;
}

bool SdlLayer_Linked() {
    const SDL_version *v = SDL_Linked_Version();
    return v->major == 1 && v->minor == 2 && v->patch >= FIRST_LAYER_PATCH;
}
