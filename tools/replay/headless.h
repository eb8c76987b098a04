// What makes the run headless and deterministic: a virtual clock in place
// of SDL's ticks and sleeps, a show step that does nothing in place of SDL's
// screen update, and a sound device that never calls back by itself, from
// which the runner pulls one block every 32 ms of virtual time.
#pragma once
#include <cstdint>

namespace replay {

// Installs the clock (starting at 0 ms), the empty show step and the pulled
// device into the display and the mixer; Headless_Remove gives them SDL's back.
void Headless_Install();
void Headless_Remove();

// Hands the next mixed block over as the device's callback would and
// returns its SND_BLOCK bytes.
const std::uint8_t *Headless_PullBlock();

}  // namespace replay
