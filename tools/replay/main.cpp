// zultmirax-replay: runs the game headless from an input script.
#include "tools/replay/replay.h"

int main(int argc, char **argv) { return Replay_Main(argc, argv); }
