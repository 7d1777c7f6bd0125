#include <gtest/gtest.h>
#include <cstdlib>

#include "platform/backend.h"

int main(int argc, char** argv)
{
    // Tests always run on the null back end, whatever the caller's environment says.
    setenv("KELO_HEADLESS", "1", 1);
    PlatformStartup();
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    PlatformShutdown();
    return result;
}
