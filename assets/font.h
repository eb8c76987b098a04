// The 8x8 font: 128 entries by character code, each a glyph or empty (null).
#pragma once
#include <array>
#include "platform/gfx.h"

constexpr int GLYPH_SIZE = 8;

extern const std::array<const Picture *, 128> FONT;
