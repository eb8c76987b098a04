// Waiting for the script's bytes, as the platform can: a stop signal ends
// the wait at once, wherever the script comes from (a FIFO whose writer
// has not come, a terminal nobody types in).
#pragma once
#include <string>

namespace replay {

// Opens the script's file for reading ("-" is standard input, 0): the file
// descriptor, or -1 with errno set. Never waits for a FIFO's writer.
int ScriptWait_Open(const std::string &path);

// Holds the stop signals back while the script is read, but inside the
// wait, so that one cannot slip in between the check and the wait; Release
// puts them back as they were.
void ScriptWait_Hold();
void ScriptWait_Release();

// Waits until FD has data or its end: 0, else the stop signal that came,
// or -1 with errno set.
int ScriptWait_Readable(int fd);

}  // namespace replay
