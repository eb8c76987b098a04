// The 8x8 font: 128 entries by character code, each a glyph or empty (null).
#pragma once
#include "platform/gfx.h"

constexpr int GLYPH_SIZE = GFX_GLYPH_SIZE;

extern const GfxFont FONT;
