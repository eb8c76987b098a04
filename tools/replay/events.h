// The event log: one CSV row per poll, sound call, present, flush and draw,
// in the order in which they happen.
#pragma once
#include <string>

struct DrawCommand;

namespace replay {

bool Events_Open(const std::string &path, std::string *error);
bool Events_Close();
void Events_Abandon();
bool Events_Enabled();

// The pass whose events are being logged now.
void Events_SetPass(long pass);

void Events_Poll(unsigned held);
void Events_Sound(int channel, int id, int result);
void Events_Present(int result);
void Events_Flush();
void Events_Draw(const DrawCommand &cmd);

}  // namespace replay
