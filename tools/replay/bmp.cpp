#include "tools/replay/bmp.h"

#include <SDL.h>

#include <array>
#include <cstdint>
#include <cstdio>

#include "platform/gfx.h"

namespace replay {

namespace {

constexpr int HEADER = 54;  // file header 14 bytes, info header 40

void Put16(std::uint8_t *p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t *p, std::uint32_t v) {
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

// A channel's 8 bits from a pixel, wherever the format's mask puts them.
std::uint8_t Channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1u) == 0) ++shift;
    return static_cast<std::uint8_t>((pixel & mask) >> shift);
}

}  // namespace

bool Bmp_Write(SDL_Surface *surface, const std::string &path) {
    if (surface == nullptr || surface->format->BytesPerPixel != 4 || surface->w > SCREEN_W) return false;
    const int w = surface->w;
    const int h = surface->h;
    const std::uint32_t stride = (static_cast<std::uint32_t>(w) * 3 + 3) & ~3u;
    const std::uint32_t size = stride * static_cast<std::uint32_t>(h);
    std::array<std::uint8_t, HEADER> header{};
    header[0] = 'B';
    header[1] = 'M';
    Put32(&header[2], HEADER + size);
    Put32(&header[10], HEADER);
    Put32(&header[14], 40);
    Put32(&header[18], static_cast<std::uint32_t>(w));
    Put32(&header[22], static_cast<std::uint32_t>(h));
    Put16(&header[26], 1);   // planes
    Put16(&header[28], 24);  // bits per pixel
    Put32(&header[34], size);

    FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    bool ok = std::fwrite(header.data(), 1, header.size(), file) == header.size();
    const SDL_PixelFormat *f = surface->format;
    std::array<std::uint8_t, SCREEN_W * 3 + 3> line{};  // the padding stays 0
    const bool locked = ok && SDL_LockSurface(surface) == 0;
    ok = locked;
    for (int y = h - 1; ok && y >= 0; --y) {
        const auto *src = reinterpret_cast<const std::uint32_t *>(static_cast<const std::uint8_t *>(surface->pixels) +
                                                                  static_cast<std::size_t>(y) * surface->pitch);
        for (int x = 0; x < w; ++x) {
            line[3 * x] = Channel(src[x], f->Bmask);
            line[3 * x + 1] = Channel(src[x], f->Gmask);
            line[3 * x + 2] = Channel(src[x], f->Rmask);
        }
        ok = std::fwrite(line.data(), 1, stride, file) == stride;
    }
    if (locked) SDL_UnlockSurface(surface);
    return std::fclose(file) == 0 && ok;
}

}  // namespace replay
