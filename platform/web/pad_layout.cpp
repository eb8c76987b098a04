// The page reads the pads with the browser's standard gamepad mapping and
// hands their buttons on by its numbers.
#include "platform/pad.h"

PadLayout Pad_PlatformLayout() { return PAD_LAYOUT_BROWSER; }
