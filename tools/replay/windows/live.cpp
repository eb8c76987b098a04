// Windows' runner replays scripts and writes what Linux's does; recording
// and watching a live window stay with Linux's runner: they are refused
// before any pass, with the reason.
#include "tools/replay/live.h"

namespace replay {

bool Live_Allowed(int mode, std::string *error) {
    if (mode == LIVE_OFF) return true;
    *error = std::string(mode == LIVE_RECORD ? "--record" : "--watch") +
             ": not in the Windows build of the runner; use Linux's zultmirax-replay, which writes the same files";
    return false;
}

bool Live_Open(int mode, const std::string &, int, std::string *error) { return Live_Allowed(mode, error); }

void TurnOnControllerLayout() {}
void Live_Arm() {}
bool Live_BeforePass(long) { return true; }
bool Live_Close(long) { return true; }
void Live_Abandon() {}
int Live_Filter(const SDL_Event *) { return 1; }
bool FormatEvent(long, const SDL_Event &, std::string *) { return false; }

}  // namespace replay
