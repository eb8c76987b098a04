// PLACEHOLDER until the glyphs are drawn: every slot empty.
#include "assets/font.h"
const std::array<const Picture *, 128> FONT{};
