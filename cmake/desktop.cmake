# Desktop integration: the menu entry, the icon in every hicolor size, the
# project files' MIME type and the AppStream metadata.
include(GNUInstallDirs)
set(KLEMORA_DESKTOP_DIR ${CMAKE_SOURCE_DIR}/resources/desktop)
set(KLEMORA_APP_ID org.klemora.Klemora)

install(FILES ${KLEMORA_DESKTOP_DIR}/${KLEMORA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KLEMORA_DESKTOP_DIR}/${KLEMORA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${KLEMORA_DESKTOP_DIR}/${KLEMORA_APP_ID}.mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME ${KLEMORA_APP_ID}.xml)
# The PNGs are rendered by scripts/render-icons.sh and committed.
install(DIRECTORY ${KLEMORA_DESKTOP_DIR}/icons/hicolor
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
