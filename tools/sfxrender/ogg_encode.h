#pragma once
// One logical Ogg Vorbis stream, one channel, from samples in -1..1.
#include <cstdint>
#include <string>
#include <vector>

// The serial number is fixed so that the same samples always give the same bytes.
bool EncodeOggVorbis(const std::vector<float>& samples, int rate, std::vector<uint8_t>* out, std::string* error);
