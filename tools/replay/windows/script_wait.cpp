// Windows' C library has no FIFOs to wait on and runs a Ctrl-C's handler on
// a thread of its own: the script is read as bytes, as on Linux, and a stop
// that came is seen before each read.
#include <fcntl.h>

#include "tools/replay/script_wait.h"
#include "tools/replay/stop.h"

namespace replay {

int ScriptWait_Open(const std::string &path) { return path == "-" ? 0 : open(path.c_str(), O_RDONLY | O_BINARY); }

void ScriptWait_Hold() {}
void ScriptWait_Release() {}
int ScriptWait_Readable(int) { return Stop_Signal(); }

}  // namespace replay
