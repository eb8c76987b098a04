// Pictures are authored as ASCII art, one character a pixel, and turned into
// grey bytes at compile time. A picture of the wrong size or with a stray
// character does not compile.
//
//   '.'  black (0)      '#'  white (255)      '+'  the picture's middle grey
//
// Rows are written as adjacent string literals, so the art reads as drawn:
//   constexpr auto SHOT = Art<3, 8>(".#."
//                                   "###" ...);
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

template <int W, int H>
consteval std::array<std::uint8_t, static_cast<std::size_t>(W) * H> Art(std::string_view art, std::uint8_t mid = 128) {
    std::array<std::uint8_t, static_cast<std::size_t>(W) * H> px{};
    if (art.size() != px.size()) throw "ASCII art does not match the picture's size";
    for (std::size_t i = 0; i < px.size(); ++i) {
        switch (art[i]) {
        case '.': px[i] = 0; break;
        case '#': px[i] = 255; break;
        case '+': px[i] = mid; break;
        default: throw "ASCII art uses a character outside . # +";
        }
    }
    return px;
}
