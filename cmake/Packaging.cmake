# SPDX-License-Identifier: MIT
# The Debian package of everything `cmake --install` puts down (cpack -G DEB, or the package
# preset). The shared libraries' packages come from dpkg-shlibdeps; the rest are what the
# binaries load at run time without linking it.
set(CPACK_PACKAGE_NAME x10console)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "test console for an X10 CM11A powerline interface")
set(CPACK_PACKAGE_HOMEPAGE_URL ${PROJECT_HOMEPAGE_URL})
set(CPACK_PACKAGE_CONTACT "The X10 Test Console developers <developers@x10console.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window needs a Qt platform plugin (xcb, or wayland where that is installed), which
# Qt loads at run time and dpkg-shlibdeps cannot see.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# CPack puts the summary first and indents this body as Debian's control file wants it; an
# empty line separates paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "One window from which an operator opens a CM11A computer interface on a serial
port, sends any X10 function to a house and unit, polls for and watches
incoming X10 traffic, and reads it in an event log.

The package also holds cm11a-sim, a simulated CM11A on a pseudo-terminal, to
try the console and test CM11A drivers without the hardware.")

include(CPack)
