// The mixer's output as a WAV file: 8000 Hz, unsigned 8-bit, mono.
#pragma once
#include <cstdint>
#include <string>

namespace replay {

constexpr std::uint32_t WAV_HEADER = 44;
// The RIFF size field (the file less 8 bytes) is 32 bits wide.
constexpr std::uint64_t WAV_MAX_DATA = 0xFFFFFFFFull - (WAV_HEADER - 8);

bool Wav_Open(const std::string &path, std::string *error);
bool Wav_Enabled();
// Appends the bytes; false (and nothing written) when they would take the
// data past WAV_MAX_DATA.
bool Wav_Append(const std::uint8_t *bytes, std::uint32_t count);
// Writes the final sizes into the header and closes the file.
bool Wav_Close();
void Wav_Abandon();

}  // namespace replay
