# The manual pages, compressed at build time the way Debian wants them
# (gzip -9n: no name, no time stamp, so the package builds reproducibly).
include(GNUInstallDirs)
find_program(KLEMORA_GZIP gzip REQUIRED)
set(KLEMORA_MAN_PAGES klemora.1 klemora-cli.1)
set(compressed_pages)
foreach(page IN LISTS KLEMORA_MAN_PAGES)
  set(source ${CMAKE_SOURCE_DIR}/resources/man/${page})
  set(output ${CMAKE_BINARY_DIR}/man/${page}.gz)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${CMAKE_BINARY_DIR}/man/${page}
    COMMAND ${KLEMORA_GZIP} -9nf ${CMAKE_BINARY_DIR}/man/${page}
    DEPENDS ${source}
    VERBATIM)
  list(APPEND compressed_pages ${output})
endforeach()
add_custom_target(klemora_man_pages ALL DEPENDS ${compressed_pages})
install(FILES ${compressed_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
