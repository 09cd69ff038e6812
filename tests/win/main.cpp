#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "platform/win32/services.h"

int main(int argc, char** argv) {
    // Copies of this program started from other folders report the folder they were started from.
    if (argc == 3 && std::strcmp(argv[1], "--exe-folder") == 0) {
        std::string folder = win32::Shell().exeFolder();
        FILE* out = std::fopen(argv[2], "wb");
        if (out == nullptr) {
            return 2;
        }
        std::fwrite(folder.data(), 1, folder.size(), out);
        std::fclose(out);
        return 0;
    }
    setvbuf(stdout, nullptr, _IONBF, 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
