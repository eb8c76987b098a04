// The browser's SDL: its queue is an unbounded list that the page fills
// with keys and pads (the mouse's events are left there and ignored), it
// has no event filters, and a page gets no signals, so no quit comes
// outside the queue.
#include "platform/pad_events.h"

void PadEvents_Install() {}
void PadEvents_Remove() {}
int PadEvents_TakeQuit() { return 0; }
