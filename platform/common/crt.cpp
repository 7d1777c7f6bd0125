#include "platform/crt.h"

namespace crt {
namespace {
// The classic linear congruential generator of the C standard's example, which keeps 15 bits.
unsigned int g_state = 1;
}

int rand()
{
    g_state = g_state * 1103515245u + 12345u;
    return static_cast<int>((g_state >> 16) & 0x7FFF);
}

void srand(unsigned int seed)
{
    g_state = seed;
}

}  // namespace crt
