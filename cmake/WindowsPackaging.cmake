# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# The Windows build's program resources and what scripts/windows-bundle.sh needs to make the
# zip and the setup program: the icon (made from the console's PNGs with icotool), the version
# Explorer shows, and windows-package.sh, which names the program, the Qt it runs on and the
# version.
find_program(X10_ICOTOOL icotool REQUIRED) # icoutils: scripts/install-deps.sh windows
set(X10_ICO ${CMAKE_CURRENT_BINARY_DIR}/x10console.ico)
set(icon_pngs)
foreach(size IN ITEMS 16 32 48)
  list(APPEND icon_pngs ${PROJECT_SOURCE_DIR}/console/icons/x10console-${size}.png)
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${icon_pngs})
execute_process(COMMAND ${X10_ICOTOOL} --create --output=${X10_ICO} ${icon_pngs}
                COMMAND_ERROR_IS_FATAL ANY)

# The version as the four numbers of a VERSIONINFO: 1.00 is 1,0,0,0.
math(EXPR minor "${PROJECT_VERSION_MINOR}")
set(X10_RC_VERSION "${PROJECT_VERSION_MAJOR},${minor},0,0")
configure_file(packaging/windows/x10console.rc.in x10console.rc @ONLY)
target_sources(x10console PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/x10console.rc)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/x10console.rc TARGET_DIRECTORY x10console
                            PROPERTIES OBJECT_DEPENDS ${X10_ICO})

file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/windows-package.sh CONTENT
"# What scripts/windows-bundle.sh packs (written by CMake).
version='${PROJECT_VERSION}'
program='$<TARGET_FILE:x10console>'
qt_bin='${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}'
qt_plugins='${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}'
icon='${X10_ICO}'
")
