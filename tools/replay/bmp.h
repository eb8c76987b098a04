// Screenshots as 24-bit BMP files, written by the runner itself so that
// every build writes the same bytes (a browser's SDL has no BMP writer).
#pragma once
#include <string>

struct SDL_Surface;

namespace replay {

// Writes the 32-bit surface's picture to PATH: a 54-byte header, then the
// rows bottom up in blue, green, red order, each padded to 4 bytes. False
// when the file cannot be written whole.
bool Bmp_Write(SDL_Surface *surface, const std::string &path);

}  // namespace replay
