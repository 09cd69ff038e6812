# MinGW-w64 cross build. The -posix compilers carry std::thread and std::mutex, which GoogleTest needs.
set(CMAKE_C_COMPILER ${KOLBRIN_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KOLBRIN_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KOLBRIN_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KOLBRIN_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Only the DLLs every Windows has: the C++ runtime and winpthreads go into the exe.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# ctest runs the Windows-side tests through our Wine set-up (prefix, Japanese locale, fonts).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec)
