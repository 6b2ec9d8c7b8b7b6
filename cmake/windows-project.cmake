# Included right after project(Rivelo) when cross-building for Windows (the MinGW toolchain
# file names it). Adds what only that build needs.
include_guard(GLOBAL)

# No GoogleTest for MinGW among the system's packages: build it from source before the top
# level asks find_package(GTest) for it.
include(${CMAKE_CURRENT_LIST_DIR}/gtest-from-source.cmake)
