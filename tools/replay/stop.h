// Stop signals (Ctrl-C, SIGTERM, SIGHUP). The first ends the run between
// passes, so that every output is complete up to the last pass run, and it
// ends at once whatever the runner waits on that it does not own: a script
// that has not come yet, an ffmpeg that does not finish. A second one while
// the runner is stuck anywhere else (a write to a pipe nobody reads) ends
// the process at once, with its children and scratch files.
#pragma once
#include <sys/types.h>

#include <string>

namespace replay {

// Catches the stop signals that whoever started the run has not ignored.
// Calls they interrupt are restarted: a write blocked on a busy encoder's
// pipe or a slow reader of the trace must finish, not fail with EINTR.
void Stop_Catch();

// The stop signal that came, or 0; and how many have come.
int Stop_Signal();
int Stop_Count();

// A child that a stop signal ends (SIGKILL) while the runner waits on it;
// 0 when the runner waits on none.
void Stop_Waiting(pid_t child);

// Children and files that a forced stop ends and removes: a running
// encoder, the scratch folder and its files, a video that ffmpeg was
// started to write. Forget undoes one. Folders go after the files.
void Stop_KeepChild(pid_t child);
void Stop_ForgetChild(pid_t child);
void Stop_KeepPath(const std::string &path, bool directory);
void Stop_ForgetPath(const std::string &path);

}  // namespace replay
