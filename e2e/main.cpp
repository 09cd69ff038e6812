#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
    // ctest reads the output through a pipe: keep it in order with the test's own lines.
    setvbuf(stdout, nullptr, _IONBF, 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
