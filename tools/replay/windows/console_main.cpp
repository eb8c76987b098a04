// SDL's headers on Windows rename the runner's main to SDL_main, for SDL's
// own start-up code, which opens no console and sends the output to files.
// The runner is a console program: it starts SDL_main itself, with standard
// input and output as bytes, so that a trace or script through a pipe is
// Linux's byte for byte.
#include <fcntl.h>
#include <io.h>

#include <cstdio>

extern "C" int SDL_main(int argc, char **argv);

int main(int argc, char **argv) {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    return SDL_main(argc, argv);
}
