/* mappings_count: how many controller mappings the system's SDL 2 holds
   once its game controllers are started, with the mappings of the
   environment (SDL_GAMECONTROLLERCONFIG, SDL_GAMECONTROLLERCONFIG_FILE).
   Built by emulated_test.sh against the root's libSDL2-2.0.so.0 alone: the
   few calls are declared here, as SDL 2 declares them. */
#include <stdio.h>

extern int SDL_Init(unsigned int flags);
extern int SDL_GameControllerNumMappings(void);
extern const char *SDL_GetError(void);

#define SDL_INIT_GAMECONTROLLER 0x00002000u

int main(void) {
    if (SDL_Init(SDL_INIT_GAMECONTROLLER) != 0) {
        fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return 1;
    }
    printf("%d\n", SDL_GameControllerNumMappings());
    return 0;
}
