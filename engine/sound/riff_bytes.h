#pragma once
// The chunk tags of the sound file formats, beside the little-endian field helpers.
#include <cstdint>
#include <cstring>

#include "engine/core/byte_order.h"

inline bool IsTag(const uint8_t* p, const char* tag)
{
    return memcmp(p, tag, 4) == 0;
}
