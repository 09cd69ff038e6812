# MinGW-w64 cross build. The -posix compilers carry std::thread and std::mutex, which GoogleTest needs.
# The downloads are built with the -win32 ones (KOLBRIN_MINGW_THREADS=win32, the release presets): the
# program starts no thread through the C++ library and takes none of its locks, and its runtime then holds
# no POSIX threads layer, 23 to 26 KB of the program (README.md, "What the program's bytes are").
if(NOT KOLBRIN_MINGW_THREADS)
    set(KOLBRIN_MINGW_THREADS posix)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KOLBRIN_MINGW_THREADS)
set(CMAKE_C_COMPILER ${KOLBRIN_TRIPLE}-gcc-${KOLBRIN_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${KOLBRIN_TRIPLE}-g++-${KOLBRIN_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${KOLBRIN_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KOLBRIN_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Only the DLLs every Windows has: the C++ runtime (with the -posix compilers, winpthreads too) goes into the
# exe.
# No link time in the PE header (it reads 0), so that the same sources give the same bytes whenever they
# are linked; the header checksum is then the same too.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
# ctest runs the Windows-side tests through our Wine set-up (prefix, Japanese locale, fonts).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec)
