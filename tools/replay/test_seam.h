// For tests only: puts the WAV writer's count of data bytes next to the
// format's limit, which no test could reach by running.
#pragma once
#include <cstdint>

namespace replay {

void Wav_SetDataBytesForTest(std::uint64_t bytes);

}  // namespace replay
