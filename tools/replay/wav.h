// The mixer's output as a WAV file: 8000 Hz, unsigned 8-bit, mono.
#pragma once
#include <cstdint>
#include <string>

namespace replay {

bool Wav_Open(const std::string &path, std::string *error);
bool Wav_Enabled();
void Wav_Append(const std::uint8_t *bytes, std::uint32_t count);
// Writes the final sizes into the header and closes the file.
bool Wav_Close();
void Wav_Abandon();

}  // namespace replay
