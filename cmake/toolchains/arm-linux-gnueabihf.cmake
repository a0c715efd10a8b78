# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# 32-bit ARMv7 with hardware floating point (Debian armhf).
set(X10_TRIPLET arm-linux-gnueabihf)
set(X10_CPU arm)
include(${CMAKE_CURRENT_LIST_DIR}/debian-sysroot.cmake)
