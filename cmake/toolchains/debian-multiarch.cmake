# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Cross-compiling on Debian for another architecture whose libraries are installed beside the
# build machine's (multiarch: dpkg --add-architecture, then the :<arch> -dev packages; see
# scripts/install-deps.sh cross). Included by the per-architecture files in this folder, which
# set X10_TRIPLET (the GNU triplet, e.g. aarch64-linux-gnu) and X10_CPU (the processor, as in
# qemu-<cpu>-static).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${X10_CPU})
set(CMAKE_C_COMPILER ${X10_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${X10_TRIPLET}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${X10_TRIPLET})
# With the library architecture set, CMake looks for the target's libraries and CMake packages
# in /usr/lib/<triplet> before the build machine's.

# Qt's host tools are the build machine's (qt6-base-dev-tools is Multi-Arch: foreign), found
# through the build machine's Qt CMake packages.
execute_process(COMMAND dpkg-architecture -qDEB_BUILD_MULTIARCH
                OUTPUT_VARIABLE X10_BUILD_TRIPLET OUTPUT_STRIP_TRAILING_WHITESPACE)
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${X10_BUILD_TRIPLET}/cmake)

# ctest runs the target's test programs under user-mode emulation; tests that start another
# of the built programs put the same emulator in front of it (tests/support/builtprogram.h).
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/qemu-${X10_CPU}-static)
