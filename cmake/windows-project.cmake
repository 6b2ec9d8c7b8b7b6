# Included right after project(Rivelo) when cross-building for Windows (the MinGW toolchain
# file names it). Adds what only that build needs.
include_guard(GLOBAL)

# No GoogleTest for MinGW among the system's packages: build it from source before the top
# level asks find_package(GTest) for it.
include(${CMAKE_CURRENT_LIST_DIR}/gtest-from-source.cmake)

# The Windows-only tests (tests/win32), at the end of the top level, once every library
# they link exists. Skipped when the tests folder adds them itself.
function(rivelo_add_win32_tests)
  if(RIVELO_TESTS AND NOT TARGET win32_tests AND EXISTS ${PROJECT_SOURCE_DIR}/tests/win32/CMakeLists.txt)
    include(${PROJECT_SOURCE_DIR}/tests/win32/CMakeLists.txt)
  endif()
endfunction()
cmake_language(DEFER CALL rivelo_add_win32_tests)
