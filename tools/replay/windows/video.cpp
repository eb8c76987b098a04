// Windows' runner does not pipe frames to ffmpeg: a video is refused before
// any pass, with the reason.
#include "tools/replay/video.h"

namespace replay {

bool Video_Open(const std::string &, long, std::string *, std::string *error) {
    *error = "--video: not in the Windows build of the runner; use Linux's zultmirax-replay";
    return false;
}

void Video_Presented() {}
void Video_Settle() {}
bool Video_Failed() { return false; }
bool Video_Close(const std::string &, bool) { return true; }
void Video_Abandon() {}

}  // namespace replay
