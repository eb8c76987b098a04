// Under node a read never waits: the script is a file or a pipe that node
// has already filled, and no signal can come in between.
#include <fcntl.h>

#include "tools/replay/script_wait.h"

namespace replay {

int ScriptWait_Open(const std::string &path) { return path == "-" ? 0 : open(path.c_str(), O_RDONLY | O_CLOEXEC); }

void ScriptWait_Hold() {}
void ScriptWait_Release() {}
int ScriptWait_Readable(int) { return 0; }

}  // namespace replay
