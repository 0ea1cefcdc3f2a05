# The Debian package: cpack --preset deb (or cpack -G DEB in a build made
# with CMAKE_INSTALL_PREFIX=/usr). dpkg-shlibdeps (Debian dpkg-dev) works out
# the libraries the programs link; what they load or show at run time is
# named here.
set(CPACK_PACKAGE_NAME glimmerbox)
set(CPACK_PACKAGE_VENDOR "Glimmerbox")
set(GLIMMERBOX_MAINTAINER "Glimmerbox developers <glimmerbox@localhost>"
    CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${GLIMMERBOX_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find and keep the icons inside Windows programs and icon files")
set(CPACK_PACKAGE_DESCRIPTION
    "Glimmerbox walks a folder tree, finds the icons stored inside Windows program files (PE32, PE32+ and\n"
    "16-bit NE executables and libraries) and ICO, CUR and ANI files, and shows them in one catalogue, from\n"
    "which they are saved as ICO, BMP or PNG files or installed into the icon theme. It comes with a\n"
    "command-line tool, a thumbnailer for file managers, a window grabber and a BMP/JPEG converter.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
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
include(CPack)
