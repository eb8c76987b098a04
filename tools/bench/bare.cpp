// The cheapest SDL program with the game's screen: a 320x240 surface shown
// every 16 ms until SDL's quit event. The benchmark runs it beside the game
// in the same window set-up to show what SDL alone costs.
#include <SDL.h>

#include <cstdio>

int main(int, char **) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "zultmirax-bare: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Surface *screen = SDL_SetVideoMode(320, 240, 32, SDL_SWSURFACE);
    if (screen == nullptr) {
        std::fprintf(stderr, "zultmirax-bare: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    bool quit = false;
    while (!quit) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) quit = quit || event.type == SDL_QUIT;
        SDL_UpdateRect(screen, 0, 0, 0, 0);
        SDL_Delay(16);
    }
    SDL_Quit();
    return 0;
}
