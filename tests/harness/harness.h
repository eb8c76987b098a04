// Test harness: SDL really started with its dummy drivers, a virtual clock in
// place of SDL's, input injected as real SDL events, and the screen's pixels
// read back. A failing test saves the screen as a BMP beside its output.
#pragma once
#include <SDL.h>

#include <cstdint>

namespace harness {

// The virtual clock behind the display module: ticks read a counter and a
// wait advances it, so paced presents never sleep.
void ClockSet(std::uint32_t now);
void ClockAdvance(std::uint32_t ms);
std::uint32_t ClockNow();
std::uint32_t ClockLastDelay();  // the last wait asked for, in ms
int ClockDelayCalls();           // waits asked for since the last ClockSet

// Input as real SDL events.
void PushKey(int sym, bool down);
void PushJoyButton(int pad, int button, bool down);
void PushJoyButtonState(int pad, int button, bool down, std::uint8_t state);  // any state byte
void PushAxis(int pad, int axis, int value);
void PushQuit();
void DrainEvents();  // drops whatever is queued

// The screen: the raw 32-bit pixel at (x, y) of the display's surface, and
// a fill of the whole surface with one raw value.
std::uint32_t Pixel(int x, int y);
void FillSurface(std::uint32_t value);
constexpr std::uint32_t Grey(int g) { return 0xFF000000u + static_cast<std::uint32_t>(g) * 0x010101u; }

// Saves the display's surface as NAME.bmp in the working directory.
void SaveScreen(const char *name);

}  // namespace harness
