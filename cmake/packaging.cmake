# The Debian package (cpack -G DEB; scripts/package.sh builds and checks it).
include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/debian_gzip.cmake)
set(KLEMORA_DEBIAN_DIR ${CMAKE_SOURCE_DIR}/resources/debian)
set(KLEMORA_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/klemora)

# Debian's documentation files: the machine-readable copyright and the
# changelog, compressed without name or time stamp.
klemora_debian_gzip(${KLEMORA_DEBIAN_DIR}/changelog ${CMAKE_BINARY_DIR}/debian/changelog.Debian)
set(debian_changelog ${CMAKE_BINARY_DIR}/debian/changelog.Debian.gz)
add_custom_target(klemora_debian_changelog ALL DEPENDS ${debian_changelog})
install(FILES ${KLEMORA_DEBIAN_DIR}/copyright ${debian_changelog} DESTINATION ${KLEMORA_DOC_DIR})
install(FILES ${KLEMORA_DEBIAN_DIR}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME klemora)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME klemora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Klemora developers")
set(CPACK_PACKAGE_CONTACT "The Klemora developers <developers@klemora.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "cuts DV camcorder recordings into scenes without re-encoding")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Klemora finds the scenes of DV camcorder recordings in AVI files by the
recording date and time every DV frame carries, or by picture differences,
lets you correct the scene list by hand, and writes every scene as an AVI
file of its own whose frames are the source frames unchanged. It also
publishes HTML scene indexes, exchanges scene lists as CSV and edit decision
lists, and captures from DV camcorders over FireWire.
.
This package holds the desktop program klemora and the command-line
program klemora-cli.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://klemora.org")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The FFmpeg, Qt and FireWire libraries come in through dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# xdg-utils opens the help pages; the Qt translations give the German
# program its German standard buttons.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
