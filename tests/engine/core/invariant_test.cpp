#include <gtest/gtest.h>

#include "engine/core/invariant.h"

// Checked builds stop at a broken invariant and say which; Release never even evaluates it.
TEST(Invariant, CheckedOnlyInDebugAndSanitizerBuilds)
{
    int evaluated = 0;
    auto once = [&] { return ++evaluated == 1; };
    KELO_ASSERT(once());
#if KELO_ASSERTS_ACTIVE
    EXPECT_EQ(evaluated, 1);
    EXPECT_DEATH(KELO_ASSERT(evaluated == 2), "broken invariant: evaluated == 2");
#else
    EXPECT_EQ(evaluated, 0);
#endif
}
