# SPDX-License-Identifier: MIT
# Cross-builds Pellwick.exe for 64-bit Windows with Debian's mingw-w64 (posix
# threads, so std::thread and std::mutex work) and runs what it builds under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PELLWICK_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PELLWICK_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PELLWICK_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${PELLWICK_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PELLWICK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime libraries go into the executable, so Pellwick.exe needs no DLL beside it;
# a release build carries no symbols.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
# -O2: at -O3 this gcc warns falsely about std::string copies (-Wrestrict).
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of a release build")

# ctest and gtest_discover_tests start the test programs through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
# Tests are listed when ctest runs, inside the Wine session the test script sets
# up, not while building.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
