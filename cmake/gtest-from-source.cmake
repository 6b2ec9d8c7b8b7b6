# GoogleTest built from source with this project's compiler, for targets (such as Windows
# with MinGW) for which the system has no prebuilt GoogleTest. Debian's googletest package
# ships the sources in /usr/src/googletest.
#
# After this file, find_package(GTest) finds the targets built here (GTest::gtest,
# GTest::gtest_main, GTest::gmock, GTest::gmock_main) instead of searching the system.
# The toolchain file cmake/mingw-w64-x86_64.cmake includes it right after project();
# another build can include it before find_package(GTest).
include_guard(GLOBAL)

set(RIVELO_GTEST_FROM_SOURCE "/usr/src/googletest" CACHE PATH
    "GoogleTest source tree to build the tests against")
if(NOT EXISTS "${RIVELO_GTEST_FROM_SOURCE}/CMakeLists.txt")
  message(FATAL_ERROR "No GoogleTest sources in ${RIVELO_GTEST_FROM_SOURCE} "
                      "(install Debian's googletest package, or set RIVELO_GTEST_FROM_SOURCE)")
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(INSTALL_GMOCK OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)

set(_rivelo_gtest_args "${RIVELO_GTEST_FROM_SOURCE}" "${CMAKE_BINARY_DIR}/_googletest" EXCLUDE_FROM_ALL)
if(CMAKE_VERSION VERSION_GREATER_EQUAL 3.25)
  list(APPEND _rivelo_gtest_args SYSTEM)  # its headers must not trip our warnings-as-errors
endif()
add_subdirectory(${_rivelo_gtest_args})
unset(_rivelo_gtest_args)

foreach(_t gtest gtest_main gmock gmock_main)
  if(NOT TARGET GTest::${_t})
    add_library(GTest::${_t} ALIAS ${_t})
  endif()
endforeach()
# The names FindGTest offered before CMake 3.20.
if(NOT TARGET GTest::GTest)
  add_library(GTest::GTest ALIAS gtest)
  add_library(GTest::Main ALIAS gtest_main)
endif()

file(STRINGS "${RIVELO_GTEST_FROM_SOURCE}/CMakeLists.txt" _v REGEX "set\\(GOOGLETEST_VERSION")
string(REGEX MATCH "[0-9]+(\\.[0-9]+)*" RIVELO_GTEST_VERSION "${_v}")
unset(_v)

# find_package() looks in this folder before anything else (CMake 3.24+), module mode included.
file(WRITE "${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/gtest-config.cmake"
     "# GoogleTest is built from ${RIVELO_GTEST_FROM_SOURCE} in this build.\nset(GTest_FOUND TRUE)\n")
file(WRITE "${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/gtest-config-version.cmake"
     "set(PACKAGE_VERSION ${RIVELO_GTEST_VERSION})\nset(PACKAGE_VERSION_COMPATIBLE TRUE)\n"
     "if(PACKAGE_FIND_VERSION VERSION_EQUAL PACKAGE_VERSION)\n  set(PACKAGE_VERSION_EXACT TRUE)\nendif()\n")
