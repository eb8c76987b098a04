// Windows' joystick API, which classic SDL 1.2 reads there, numbers an
// XInput pad's buttons A 0, B 1, X 2, Y 3, the shoulders 4 and 5, Back 6
// and Start 7: the browser's standard mapping shares the first six, and its
// 6 and 7 (the triggers) do nothing, as Back and Start do in the game. The
// left stick is axes 0 and 1; the d-pad comes as a hat, which the pad's
// event filter turns into the mapping's d-pad buttons 12-15
// (platform/windows/pad_events.cpp).
#include "platform/pad.h"

PadLayout Pad_PlatformLayout() { return PAD_LAYOUT_BROWSER; }
