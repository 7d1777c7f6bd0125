#pragma once
// The engine's and the game's own invariants: a broken one stops the program where it broke
// instead of showing frames later as a wrong picture or score. Checked in Debug and sanitizer
// builds; in Release the condition is compiled but never evaluated. Outside input (files, saves,
// the environment) is never asserted: it is refused cleanly.
#include <cstdio>
#include <cstdlib>

#if !defined(NDEBUG) || defined(KELO_ASSERTS)
#define KELO_ASSERTS_ACTIVE 1

[[noreturn]] inline void KeloAssertFailed(const char* condition, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: broken invariant: %s\n", file, line, condition);
    std::fflush(stderr);
    std::abort();
}

#define KELO_ASSERT(condition) \
    ((condition) ? static_cast<void>(0) : KeloAssertFailed(#condition, __FILE__, __LINE__))
#else
#define KELO_ASSERTS_ACTIVE 0
#define KELO_ASSERT(condition) static_cast<void>(sizeof(!(condition)))
#endif
