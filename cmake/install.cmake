# Installed layout (GNU conventions): the programs in <prefix>/bin, the files
# they read at run time in <prefix>/share/klemora, where app/paths.cpp looks
# for them when they do not lie beside the executable.
include(GNUInstallDirs)
set(KLEMORA_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/klemora)

# The project's own libraries are static; only system libraries are shared.
# Keep the link path of any that lie outside the system folders (an FFmpeg of
# its own prefix) so an installed binary still finds them.
set(klemora_programs klemora-cli)
if(TARGET klemora)
  list(APPEND klemora_programs klemora)
endif()
set_target_properties(${klemora_programs} PROPERTIES INSTALL_RPATH_USE_LINK_PATH TRUE)
install(TARGETS ${klemora_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(klemora_resources ${CMAKE_SOURCE_DIR}/resources)
install(FILES ${klemora_resources}/strings/english.lang DESTINATION ${KLEMORA_INSTALL_DATADIR})
install(DIRECTORY ${klemora_resources}/Templates ${klemora_resources}/HtmlDoku
        DESTINATION ${KLEMORA_INSTALL_DATADIR})
file(GLOB klemora_texts ${klemora_resources}/readme/*.txt)
install(FILES ${klemora_texts} DESTINATION ${KLEMORA_INSTALL_DATADIR})
