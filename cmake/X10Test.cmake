# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# x10_add_test(NAME <name> SOURCES <files...> LIBS <targets...> [QT])
# Builds one test executable linked against the room libraries and registers it with
# CTest. QT tests run on the offscreen platform so they need no display. In a cross build
# ctest runs it under the emulator, with the library that lets QProcess start children there
# preloaded (tests/support/nopidfdprobe.cpp) and Qt's plugins taken from the target's sysroot.
# A Windows build runs its tests under Wine (scripts/wine.sh), with Qt's DLLs from the Qt it
# was built against; the wrapper hands the QT_* variables on to the Windows program.
if(WIN32 AND CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine.sh --dlls
                                    ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS})
endif()

function(x10_add_test)
  cmake_parse_arguments(T "QT" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  x10_publish_headers(${T_NAME})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} Qt6::Test)
  x10_enable_warnings(${T_NAME})
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set(environment "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=*.debug=false")
  if(CMAKE_CROSSCOMPILING_EMULATOR AND NOT WIN32)
    list(APPEND environment "LD_PRELOAD=$<TARGET_FILE:x10_nopidfdprobe>"
         "QT_PLUGIN_PATH=${X10_TARGET_QT_PLUGINS}")
    add_dependencies(${T_NAME} x10_nopidfdprobe)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT 120 ENVIRONMENT "${environment}")
endfunction()
