// PLACEHOLDER until the pictures are drawn.
#include "assets/pictures.h"
namespace { const Picture BLANK[PIC_TITLE_W * PIC_TITLE_H] = {}; }
const Picture *const PIC_TITLE = BLANK;
const Picture *const PIC_LOGO = BLANK;
