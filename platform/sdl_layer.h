// Which SDL 1.2 the program was linked against at run time: classic SDL 1.2
// (and its ports), or the layer that presents SDL 2 as SDL 1.2, which
// reports itself as 1.2.50 or later. The two differ in how they treat pads
// and sound buffers.
#pragma once

bool SdlLayer_Linked();
