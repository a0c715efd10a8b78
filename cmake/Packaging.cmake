# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# The Debian package of everything `cmake --install` puts down (cpack -G DEB, or the package
# preset). The shared libraries' packages come from dpkg-shlibdeps; the rest are what the
# binaries load at run time without linking it. A Windows build makes a zip and a setup
# program instead (cmake/WindowsPackaging.cmake).
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" _ "${licence}")
set(X10_COPYRIGHT ${CMAKE_MATCH_1})
if(WIN32)
  include(cmake/WindowsPackaging.cmake)
  return()
endif()

set(CPACK_PACKAGE_NAME x10console)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "test console for an X10 CM11A powerline interface")
set(CPACK_PACKAGE_HOMEPAGE_URL ${PROJECT_HOMEPAGE_URL})
set(CPACK_PACKAGE_CONTACT "The X10 Test Console developers <developers@x10console.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The architecture of the compiler's target, so a cross build is labelled for the machine it
# runs on (CPack would take the build machine's).
execute_process(COMMAND dpkg-architecture -t ${CMAKE_LIBRARY_ARCHITECTURE} -qDEB_HOST_ARCH
                OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(X10_SYSROOT)
  # A cross build: dpkg-shlibdeps finds the target's libraries in its sysroot, and which
  # package holds each in the sysroot's own package database (scripts/sysroot.sh), which
  # cmake/CPackSysroot.cmake hands it when cpack runs.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
      ${X10_SYSROOT}/lib/${CMAKE_LIBRARY_ARCHITECTURE} ${X10_SYSROOT}/usr/lib/${CMAKE_LIBRARY_ARCHITECTURE})
  set(CPACK_X10_DPKG_ADMINDIR ${X10_SYSROOT}/var/lib/dpkg)
  set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/CPackSysroot.cmake)
endif()
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

# Debian's machine-readable copyright file (not compressed, as Debian wants it), with the
# copyright line and the licence text of LICENSE. The text is a field's body: every line
# indented, an empty one written as a dot.
string(FIND "${licence}" "Permission is hereby granted" start)
string(SUBSTRING "${licence}" ${start} -1 text)
string(STRIP "${text}" text)
string(REPLACE "\n\n" "\n.\n" text "${text}")
string(REPLACE "\n" "\n " text " ${text}")
set(X10_LICENSE_TEXT "${text}")
configure_file(cmake/copyright.in copyright @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

include(CPack)

# What the package checks (tests/package/) expect of this build's package.
get_directory_property(X10_APP_ID DIRECTORY console DEFINITION X10_APP_ID)
list(JOIN CMAKE_CROSSCOMPILING_EMULATOR " " X10_EMULATOR)
configure_file(cmake/package-expected.sh.in package-expected.sh @ONLY)
