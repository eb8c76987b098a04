// The cheapest SDL program with the game's screen: a 320x240 surface shown
// as often as the game shows its own, until SDL's quit event. The benchmark
// runs it beside the game in the same window set-up to show what SDL alone
// costs. At 3x each showing is most of the cost, so the floor paces its
// showings as the game's present does (16 ms from the last one, stamped
// after the wait): a plain 16 ms sleep after each one shows some 10 % fewer.
//
// With --sound it also starts SDL's parts as the game does (timer, audio,
// video, joysticks) and opens the game's sound device (8000 Hz, unsigned
// 8-bit, mono, a block of 256 samples at a time) with a callback that only
// hands over silence: what SDL costs a program that plays sound at all.
#include <SDL.h>

#include "platform/gfx.h"

#include <cstdio>
#include <cstring>

namespace {

void Silence(void *, Uint8 *stream, int len) { std::memset(stream, 0x80, static_cast<std::size_t>(len)); }

}  // namespace

int main(int argc, char **argv) {
    const bool sound = argc == 2 && std::strcmp(argv[1], "--sound") == 0;
    if (argc > 2 || (argc == 2 && !sound)) {
        std::fprintf(stderr, "usage: zultmirax-bare [--sound]\n");
        return 2;
    }
    const Uint32 parts = sound ? SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK : SDL_INIT_VIDEO;
    if (SDL_Init(parts) != 0) {
        std::fprintf(stderr, "zultmirax-bare: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Surface *screen = SDL_SetVideoMode(SCREEN_W, SCREEN_H, 32, SDL_SWSURFACE);
    if (screen == nullptr) {
        std::fprintf(stderr, "zultmirax-bare: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    if (sound) {
        SDL_AudioSpec want{};
        want.freq = 8000;
        want.format = AUDIO_U8;
        want.channels = 1;
        want.samples = 256;
        want.callback = Silence;
        if (SDL_OpenAudio(&want, nullptr) != 0) {
            std::fprintf(stderr, "zultmirax-bare: %s\n", SDL_GetError());
            SDL_Quit();
            return 1;
        }
        SDL_PauseAudio(0);
    }
    constexpr auto FRAME_MS = static_cast<Uint32>(GFX_FRAME_MS);
    Uint32 shown = SDL_GetTicks();
    bool quit = false;
    while (!quit) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) quit = quit || event.type == SDL_QUIT;
        const Uint32 elapsed = SDL_GetTicks() - shown;
        if (elapsed < FRAME_MS) SDL_Delay(FRAME_MS - elapsed);
        shown = SDL_GetTicks();
        SDL_UpdateRect(screen, 0, 0, 0, 0);
    }
    if (sound) SDL_CloseAudio();
    SDL_Quit();
    return 0;
}
