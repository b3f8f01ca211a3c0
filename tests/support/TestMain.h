#pragma once

#include <gtest/gtest.h>

namespace kelvane::test {

void prepareEnvironment();
void releaseEnvironment();

// Runs every test of the program inside the scratch environment with an application
// object of the given kind.
template <class Application>
int runAllTests(int argc, char** argv)
{
    prepareEnvironment();
    int result = 0;
    {
        Application app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    releaseEnvironment();
    return result;
}

} // namespace kelvane::test
