# CLI11, the parser of the command lines (header-only), as the target CLI11::CLI11.
#
# A native build takes the installed package. A cross build cannot use the build machine's
# package as it is: its include folder is the build machine's /usr/include, whose other
# headers must never reach the target's compiler. It gets a folder of its own holding
# CLI11's headers alone, copied from the build machine (Debian: libcli11-dev).
include_guard(GLOBAL)

if(NOT CMAKE_CROSSCOMPILING)
  find_package(CLI11 CONFIG QUIET)
endif()

if(NOT TARGET CLI11::CLI11)
  find_path(RIVELO_CLI11_INCLUDE_DIR CLI/CLI.hpp
            HINTS ${RIVELO_CLI11_ROOT} ENV CLI11_ROOT
            PATHS /usr/include /usr/local/include
            PATH_SUFFIXES include
            NO_CMAKE_FIND_ROOT_PATH)
  if(NOT RIVELO_CLI11_INCLUDE_DIR)
    message(FATAL_ERROR "CLI11 not found: install it (Debian: libcli11-dev; vcpkg: cli11; MSYS2: "
                        "mingw-w64-ucrt-x86_64-cli11) or set RIVELO_CLI11_ROOT to the folder holding CLI/CLI.hpp")
  endif()
  set(own_include ${CMAKE_BINARY_DIR}/cli11/include)
  file(REMOVE_RECURSE ${own_include}/CLI)
  file(COPY ${RIVELO_CLI11_INCLUDE_DIR}/CLI DESTINATION ${own_include})
  add_library(CLI11::CLI11 INTERFACE IMPORTED GLOBAL)
  # An imported target's include folder is a system one: CLI11's own warnings stay out of
  # our warnings-as-errors build.
  set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${own_include})
  message(STATUS "CLI11: headers from ${RIVELO_CLI11_INCLUDE_DIR}/CLI")
else()
  # The window's library links the shared option parser from another folder.
  get_target_property(cli11_global CLI11::CLI11 IMPORTED_GLOBAL)
  if(NOT cli11_global)
    set_target_properties(CLI11::CLI11 PROPERTIES IMPORTED_GLOBAL TRUE)
  endif()
endif()
