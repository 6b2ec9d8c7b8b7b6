# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 compilers (posix threads,
# so std::thread, std::mutex and friends work as on the other systems).
#   cmake -S . -B build/win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DRIVELO_GUI=OFF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(RIVELO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${RIVELO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${RIVELO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${RIVELO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${RIVELO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs must start on a machine without MinGW's runtime DLLs (and under Wine
# without a DLL path to set up), so the C and C++ runtimes and winpthread go in statically.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Windows programs run under Wine on the build machine: ctest and gtest_discover_tests
# use it to start the test programs.
find_program(RIVELO_WINE NAMES wine wine64)
if(RIVELO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${RIVELO_WINE})
endif()

# What the Windows build adds (GoogleTest from source, the Windows-only tests), right after
# project(Rivelo).
set(CMAKE_PROJECT_Rivelo_INCLUDE ${CMAKE_CURRENT_LIST_DIR}/windows-project.cmake)

# Listing the tests of a Windows test program means starting Wine; do it when ctest runs
# rather than in the middle of the build.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
