#pragma once
// Decodes a whole mono Ogg Vorbis file into a WAV image a WavSample can parse: a 44-byte header
// (the RIFF words left zero) followed by the 16-bit samples.
#include <cstdint>

#include "platform/outcome.h"

class Stream;

struct [[nodiscard]] DecodedOggSample {
    uint8_t* image = nullptr;  // a block from Alloc the caller owns; null exactly when why failed
    uint32_t bytes = 0;
    Outcome why;
};

// Refused when the file is not a usable mono Ogg Vorbis file, is too long or memory runs out.
// The caller holds the mixer's lock around it.
DecodedOggSample DecodeOggSample(Stream* stream);
