// The tests' entry point. A death test starts this program again by the name
// it was started with, which may be relative to the folder it was started
// from, not to the folder of its own it works in.
#include "Prostredi.h"

#include <gtest/gtest.h>

#include <string>

int main(int argc, char** argv)
{
    std::string self = argv[0];
    if (std::filesystem::path(self).is_relative())
        self = (SlozkaSpusteni() / self).string();
    argv[0] = self.data();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
