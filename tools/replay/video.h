// The replay as a video file: every paced present's picture, scaled by a
// whole number, at the game's 62.5 frames a second, with the mixer's output
// as its sound track. Debian's ffmpeg does the encoding, as a child process
// fed raw frames through a pipe; the sound is muxed in once the run is over.
#pragma once
#include <string>

namespace replay {

// Checks PATH's format and starts the encoder. *wavPath is where the run
// must write its sound for the video (a scratch file), or empty when the
// format has no sound track. False with *error set on failure.
bool Video_Open(const std::string &path, long scale, std::string *wavPath, std::string *error);

// A paced present is about to show a new picture.
void Video_Presented();

// The screen now shows the last present's picture and nothing newer: takes
// it as a frame if it has not been taken yet.
void Video_Settle();

// True once the video cannot be whole (the encoder stopped taking frames):
// the run stops, since the rest of it would be for nothing.
bool Video_Failed();

// Finishes the picture, muxes in the sound from WAVPATH (closed by now,
// and whole when SOUNDWRITTEN). True when the file was written; a message
// on standard error otherwise, and no broken file left.
bool Video_Close(const std::string &wavPath, bool soundWritten);
void Video_Abandon();

}  // namespace replay
