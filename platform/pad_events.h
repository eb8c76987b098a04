// What SDL lets into its event queue for the pad, and a quit noted as SDL
// posts it. The variant that CMake picks fits the SDL linked (a browser's
// SDL has neither event filters nor signals).
#pragma once

// Keeps every event type but the pad's out of SDL's queue and notes quits
// as they are posted; a filter installed before stays in front.
void PadEvents_Install();
// Puts back the filter that was there before.
void PadEvents_Remove();
// 1, once, when a quit was posted since the last call.
int PadEvents_TakeQuit();
