#pragma once
// Decodes a whole mono Ogg Vorbis file into a WAV image a WavSample can parse: a 44-byte header
// (the RIFF words left zero) followed by the 16-bit samples.
#include <cstdint>

class Stream;

// A block from Alloc the caller owns, or null when the file is not a usable mono Ogg Vorbis file,
// is too long or memory runs out; *refusal, when given, then says why if the pages were at fault.
// The caller holds the mixer's lock around it.
uint8_t* DecodeOggSample(Stream* stream, uint32_t* imageBytes, const char** refusal = nullptr);
