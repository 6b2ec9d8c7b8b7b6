# The manual pages and bash completions of rivelo and rivelo-sim, made at build time by
# rivelo-docs from the programs' own command definitions, so that they list what the
# programs accept. Included from cli/.
add_library(rivelo_docs STATIC bash_completion.cpp manual_page.cpp usage_text.cpp)
target_link_libraries(rivelo_docs PUBLIC rivelo_cli PRIVATE rivelo_warnings)

# The generator runs on the build machine: not in a cross build.
if(CMAKE_CROSSCOMPILING)
  return()
endif()

add_executable(rivelo-docs docs_generator.cpp)
target_link_libraries(rivelo-docs PRIVATE rivelo_docs rivelo_warnings)

set(docs_dir ${CMAKE_CURRENT_BINARY_DIR}/docs)
set(docs_programs rivelo)
if(TARGET rivelo-sim)
  list(APPEND docs_programs rivelo-sim)
endif()
set(docs_outputs)
foreach(program ${docs_programs})
  list(APPEND docs_outputs ${docs_dir}/man1/${program}.1 ${docs_dir}/completions/${program})
endforeach()
add_custom_command(OUTPUT ${docs_outputs}
                   COMMAND rivelo-docs ${PROJECT_VERSION} ${docs_dir}
                   DEPENDS rivelo-docs
                   COMMENT "Writing the manual pages and bash completions"
                   VERBATIM)

# Manual pages are installed compressed, as Debian's policy has them.
find_program(GZIP gzip)
set(installed_pages)
foreach(program ${docs_programs})
  set(page ${docs_dir}/man1/${program}.1)
  if(GZIP)
    add_custom_command(OUTPUT ${page}.gz
                       COMMAND ${GZIP} -9 -n -f -k ${page}
                       DEPENDS ${page}
                       VERBATIM)
    set(page ${page}.gz)
  endif()
  list(APPEND installed_pages ${page})
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT rivelo)
  install(FILES ${docs_dir}/completions/${program} DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
          COMPONENT rivelo)
endforeach()
add_custom_target(rivelo_docs_files ALL DEPENDS ${docs_outputs} ${installed_pages})
