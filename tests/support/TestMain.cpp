// Test entry point: every test program runs hermetically, without a display and with its
// settings in a fresh folder.
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    PrepareTestEnvironment();
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    CleanUpTestEnvironment();
    return result;
}
