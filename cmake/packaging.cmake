# The Debian package: cpack --preset deb (or cpack -G DEB in a build made
# with CMAKE_INSTALL_PREFIX=/usr). dpkg-shlibdeps (Debian dpkg-dev) works out
# the libraries the programs link; what they load or show at run time is
# named here.
set(CPACK_PACKAGE_NAME glimmerbox)
set(CPACK_PACKAGE_VENDOR "Glimmerbox")
set(GLIMMERBOX_MAINTAINER "Glimmerbox developers <glimmerbox@users.noreply.github.com>"
    CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${GLIMMERBOX_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find and keep the icons inside Windows programs and icon files")
# Debian wraps nothing: each line of the long description stays under 80
# columns.
set(CPACK_PACKAGE_DESCRIPTION
    "Glimmerbox walks a folder tree, finds the icons stored inside Windows\n"
    "program files (PE32, PE32+ and 16-bit NE executables and libraries), ICO,\n"
    "CUR and ANI files, and inside archives, disk images and installer\n"
    "packages, and shows them in one catalogue, from which they are saved as\n"
    "ICO, BMP or PNG files or installed into the icon theme.\n"
    ".\n"
    "It comes with a command-line tool, a thumbnailer for file managers, a\n"
    "maker of desktop launchers for Wine programs, a window grabber and a\n"
    "BMP/JPEG converter.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/glimmerbox/glimmerbox")
# The Debian revision: the package is built from the upstream tree, not a
# native Debian source, so its version is upstream-revision.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's Chinese texts need a CJK font; Qt's own dialogs speak Chinese
# with its translations; the about box's title uses a KaiTi face. Qt's
# Wayland platform plugin lets the program run as a native client of a
# Wayland session (without it Qt falls back to XWayland); there the window
# grabber asks the desktop's screenshot portal.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei | fonts-noto-cjk, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-arphic-ukai, xdg-desktop-portal")
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_STRIP_FILES ON)

# Debian's policy wants a copyright file and a gzip'd Debian changelog in
# the package's documentation folder. The changelog's newest entry must be
# this version, so a version that says nothing of its changes stops here.
include(GNUInstallDirs)
set(GLIMMERBOX_DEBIAN_DIR ${PROJECT_SOURCE_DIR}/packaging/debian)
set(GLIMMERBOX_DEB_VERSION "${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${GLIMMERBOX_DEBIAN_DIR}/changelog)
file(STRINGS ${GLIMMERBOX_DEBIAN_DIR}/changelog GLIMMERBOX_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT GLIMMERBOX_CHANGELOG_TOP MATCHES "^glimmerbox \\(${GLIMMERBOX_DEB_VERSION}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog starts with '${GLIMMERBOX_CHANGELOG_TOP}', "
                      "not an entry for glimmerbox ${GLIMMERBOX_DEB_VERSION}")
endif()
# -n keeps the name and time out of the gzip header, so the package is the
# same from one build to the next.
execute_process(
  COMMAND gzip -9 -n -c ${GLIMMERBOX_DEBIAN_DIR}/changelog
  OUTPUT_FILE ${CMAKE_BINARY_DIR}/changelog.Debian.gz
  COMMAND_ERROR_IS_FATAL ANY)
set(GLIMMERBOX_DEB_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/glimmerbox)
install(FILES ${GLIMMERBOX_DEBIAN_DIR}/copyright ${CMAKE_BINARY_DIR}/changelog.Debian.gz
        DESTINATION ${GLIMMERBOX_DEB_DOCDIR})
install(FILES ${GLIMMERBOX_DEBIAN_DIR}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME glimmerbox)

include(CPack)
