# A file compressed the way Debian wants it (gzip -9n: no name, no time
# stamp, so the package builds reproducibly): `source` is copied to
# `copy` in the build tree, which leaves `copy`.gz there.
include_guard(GLOBAL)
find_program(KLEMORA_GZIP gzip REQUIRED)
function(klemora_debian_gzip source copy)
  add_custom_command(
    OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
    COMMAND ${KLEMORA_GZIP} -9nf ${copy}
    DEPENDS ${source}
    VERBATIM)
endfunction()
