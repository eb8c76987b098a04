// Compile-time tools for building the two screen pictures (title.cpp,
// logo.cpp) from ASCII art: a canvas, scaled blits, and lettering set from
// ASCII-art letter shapes. Everything here runs inside the compiler; a layout
// that would draw outside its canvas, or a letter without a shape, does not
// compile.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace picture_build {

template <int W, int H>
struct Canvas {
    std::array<std::uint8_t, static_cast<std::size_t>(W) * H> px{};

    constexpr void Set(int x, int y, std::uint8_t grey) {
        if (x < 0 || y < 0 || x >= W || y >= H) throw "drawing outside the picture";
        px[static_cast<std::size_t>(y) * W + x] = grey;
    }
    constexpr std::uint8_t Get(int x, int y) const { return px[static_cast<std::size_t>(y) * W + x]; }
    constexpr void Fill(int x, int y, int w, int h, std::uint8_t grey) {
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) Set(x + i, y + j, grey);
    }
};

// Calls plot(x, y, grey) for each pixel of a w x h art block drawn at (x, y),
// every art pixel a scale x scale square.
template <std::size_t N, typename Plot>
constexpr void Blit(const std::array<std::uint8_t, N> &art, int w, int h, int x, int y, int scale, Plot plot) {
    if (static_cast<std::size_t>(w) * h != N) throw "art block of the wrong size";
    for (int j = 0; j < h * scale; ++j)
        for (int i = 0; i < w * scale; ++i)
            plot(x + i, y + j, art[static_cast<std::size_t>(j / scale) * w + i / scale]);
}

// A letter shape in a W x H cell, drawn from its left edge; its width is its
// rightmost drawn column + 1, so narrow letters set narrow.
template <int W, int H>
struct Letter {
    char code;
    std::array<std::uint8_t, static_cast<std::size_t>(W) * H> px;
};

template <int W, int H>
constexpr int LetterWidth(const Letter<W, H> &l) {
    int width = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (l.px[static_cast<std::size_t>(y) * W + x] != 0 && x + 1 > width) width = x + 1;
    return width;
}

// A set of letter shapes with its spacing: `gap` blank columns between
// letters, `space` columns for a space; both in cell pixels, before scaling.
template <int W, int H, std::size_t N>
struct Lettering {
    const Letter<W, H> (&letters)[N];
    int gap;
    int space;

    constexpr const Letter<W, H> *Find(char c) const {
        for (const Letter<W, H> &l : letters)
            if (l.code == c) return &l;
        if (c != ' ') throw "no letter shape for a character of the text";
        return nullptr;
    }
    constexpr int Advance(char c) const {
        const Letter<W, H> *l = Find(c);
        return (l != nullptr ? LetterWidth(*l) : space) + gap;
    }
    // The width of a line of text in screen pixels, without the last gap.
    constexpr int Width(std::string_view text, int scale) const {
        int w = 0;
        for (char c : text) w += Advance(c);
        return (w - gap) * scale;
    }
    // Calls plot(x, y) for each drawn pixel of the text set from (x, y).
    template <typename Plot>
    constexpr void Draw(std::string_view text, int x, int y, int scale, Plot plot) const {
        for (char c : text) {
            if (const Letter<W, H> *l = Find(c))
                Blit(l->px, W, H, x, y, scale, [&](int px, int py, std::uint8_t g) {
                    if (g != 0) plot(px, py);
                });
            x += Advance(c) * scale;
        }
    }
};

}  // namespace picture_build
