// The two full pictures: the title screen and the splash logo.
#pragma once
#include "platform/gfx.h"

constexpr int PIC_TITLE_W = 320;
constexpr int PIC_TITLE_H = 240;
constexpr int PIC_LOGO_W = 162;
constexpr int PIC_LOGO_H = 58;

extern const Picture *const PIC_TITLE;  // 320x240, greys 0/153/255
extern const Picture *const PIC_LOGO;   // 162x58, greys 0/150/255
