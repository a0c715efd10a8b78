# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Cross-compiling on Debian with Debian's cross compiler against a sysroot of the target's own
# libraries (scripts/sysroot.sh makes it and prints its path): X10_SYSROOT, given on the command
# line or in the environment. Included by the per-architecture files in this folder, which set
# X10_TRIPLET (the GNU triplet, e.g. aarch64-linux-gnu) and X10_CPU (the processor, as in
# qemu-<cpu>-static).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${X10_CPU})
set(CMAKE_C_COMPILER ${X10_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${X10_TRIPLET}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${X10_TRIPLET})

if(NOT X10_SYSROOT)
  set(X10_SYSROOT $ENV{X10_SYSROOT})
endif()
if(NOT IS_DIRECTORY "${X10_SYSROOT}/usr/lib/${X10_TRIPLET}")
  message(FATAL_ERROR "X10_SYSROOT ('${X10_SYSROOT}') is no sysroot for ${X10_TRIPLET}: "
                      "give -DX10_SYSROOT=$(scripts/sysroot.sh <architecture>)")
endif()
set(X10_SYSROOT ${X10_SYSROOT} CACHE PATH "the target's libraries (scripts/sysroot.sh)")
# try_compile projects read this file again: hand them the sysroot too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES X10_SYSROOT)
set(CMAKE_SYSROOT ${X10_SYSROOT})
set(CMAKE_FIND_ROOT_PATH ${X10_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# BOTH: the target's Qt packages come from the sysroot, the host tools' (moc, rcc, uic of the
# same Qt version, through QT_HOST_PATH) from the build machine.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

execute_process(COMMAND dpkg-architecture -qDEB_BUILD_MULTIARCH
                OUTPUT_VARIABLE X10_BUILD_TRIPLET OUTPUT_STRIP_TRAILING_WHITESPACE)
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${X10_BUILD_TRIPLET}/cmake)

# ctest runs the target's test programs under user-mode emulation, which loads the target's
# dynamic loader and libraries from the sysroot; tests that start another of the built programs
# put the same emulator in front of it (tests/support/builtprogram.h). Qt looks for its plugins
# where the target's Qt was built to put them, so tests name the sysroot's folder
# (cmake/X10Test.cmake).
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/qemu-${X10_CPU}-static -L ${X10_SYSROOT})
set(X10_TARGET_QT_PLUGINS ${X10_SYSROOT}/usr/lib/${X10_TRIPLET}/qt6/plugins)
