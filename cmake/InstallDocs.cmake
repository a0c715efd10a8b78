# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Documents installed the way Debian ships them: compressed with gzip -9n (no name or time
# stamp, so the package is reproducible).

# Compresses an already filled-in file at build time and installs it into destination.
function(x10_install_gzipped file destination)
  get_filename_component(name ${file} NAME)
  add_custom_command(OUTPUT ${file}.gz
                     COMMAND gzip -9nf -k ${file}
                     DEPENDS ${file}
                     COMMENT "Compressing ${name}")
  add_custom_target(gzip-${name} ALL DEPENDS ${file}.gz)
  install(FILES ${file}.gz DESTINATION ${destination})
endfunction()

# x10_add_man_page(<name.section.in>): fills the version and release date into a man page and
# installs it in its section.
function(x10_add_man_page source)
  get_filename_component(page ${source} NAME_WLE)          # x10console.1
  string(REGEX MATCH "[^.]+$" section ${page})              # 1
  configure_file(${source} ${CMAKE_CURRENT_BINARY_DIR}/${page} @ONLY)
  x10_install_gzipped(${CMAKE_CURRENT_BINARY_DIR}/${page} ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()
