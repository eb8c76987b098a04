// The cheapest SDL program with the game's screen: a 320x240 surface shown
// every 16 ms until SDL's quit event. The benchmark runs it beside the game
// in the same window set-up to show what SDL alone costs.
//
// With --sound it also starts SDL's parts as the game does (timer, audio,
// video, joysticks) and opens the game's sound device (8000 Hz, unsigned
// 8-bit, mono, a block of 256 samples at a time) with a callback that only
// hands over silence: what SDL costs a program that plays sound at all.
#include <SDL.h>

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
    SDL_Surface *screen = SDL_SetVideoMode(320, 240, 32, SDL_SWSURFACE);
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
    bool quit = false;
    while (!quit) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) quit = quit || event.type == SDL_QUIT;
        SDL_UpdateRect(screen, 0, 0, 0, 0);
        SDL_Delay(16);
    }
    if (sound) SDL_CloseAudio();
    SDL_Quit();
    return 0;
}
