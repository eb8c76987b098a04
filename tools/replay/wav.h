// The mixer's output as a WAV file: 8000 Hz, unsigned 8-bit, mono.
#pragma once
#include <cstdint>
#include <string>

namespace replay {

constexpr std::uint32_t WAV_HEADER = 44;
// The RIFF size field (the file less 8 bytes) is 32 bits wide.
constexpr std::uint64_t WAV_MAX_DATA = 0xFFFFFFFFull - (WAV_HEADER - 8);

// The copies written: the --audio file, and the video's sound track.
enum WavCopy : int { WAV_AUDIO, WAV_VIDEO, WAV_COPIES };

// Opens one copy; an empty path opens nothing.
bool Wav_Open(int copy, const std::string &path, std::string *error);
bool Wav_Enabled();
// Appends the bytes to every open copy; false (and nothing written) when
// they would take the data past WAV_MAX_DATA.
bool Wav_Append(const std::uint8_t *bytes, std::uint32_t count);
// Writes the final sizes into the copy's header and closes it; true when
// all of it reached the file.
bool Wav_Close(int copy);
void Wav_Abandon();

}  // namespace replay
