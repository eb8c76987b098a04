// The state trace: one CSV row after every pass that performed an action,
// the columns read from the modules' views.
#pragma once
#include <string>

namespace replay {

bool Trace_Open(const std::string &path, std::string *error);
// pass and the state whose action it performed; presents so far.
void Trace_Row(long pass, int actedState, long presents);
bool Trace_Close();
// Drops the file unchecked (a run that never started).
void Trace_Abandon();

}  // namespace replay
