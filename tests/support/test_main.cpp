// The tests' main: GoogleTest's, with a scratch data folder for the whole run.
#include "support/ScratchDataHome.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    rovik::test::ScratchDataHome dataHome;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
