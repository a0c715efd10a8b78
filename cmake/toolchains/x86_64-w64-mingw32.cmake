# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# 64-bit Windows, cross-compiled on Debian with MinGW-w64 (scripts/install-deps.sh windows).
# The -posix compilers are the ones with POSIX threads, which std::thread and Qt need.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(X10_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${X10_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${X10_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${X10_TRIPLET}-windres)

# The target's headers, libraries and CMake packages come from the MinGW-w64 tree and the
# prefixes named in CMAKE_PREFIX_PATH (the Qt built by scripts/windows-qt.sh), never from the
# build machine's /usr; programs run during the build are the build machine's.
set(CMAKE_FIND_ROOT_PATH /usr/${X10_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt's host tools (moc, rcc, uic) are Debian's, of the same version as the Qt built for Windows.
set(QT_HOST_PATH /usr)
execute_process(COMMAND dpkg-architecture -qDEB_BUILD_MULTIARCH
                OUTPUT_VARIABLE X10_BUILD_TRIPLET OUTPUT_STRIP_TRAILING_WHITESPACE)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${X10_BUILD_TRIPLET}/cmake)
