// The video's ffmpeg children: started in a process group of their own,
// their messages in a log, waited on so that a stop signal can end them.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

namespace replay {

// Starts ffmpeg with ARGS (ARGS[0] is "ffmpeg"); when stdinFd >= 0 it
// becomes the child's input. False with *error set when it cannot start.
bool Ffmpeg_Spawn(const std::vector<std::string> &args, int stdinFd, const std::string &log, pid_t *pid,
                  std::string *error);

// Waits for the child: empty when it exited with 0, else how it ended.
// A stop signal ends it: one that comes while it is waited on, or any
// after the first SINCE (a Stop_Count()).
std::string Ffmpeg_Wait(pid_t pid, int since);

// Waits for the child as Ffmpeg_Wait does, and reads its LOG: empty when
// it did its work.
std::string Ffmpeg_Finished(pid_t pid, int since, const std::string &log);

}  // namespace replay
