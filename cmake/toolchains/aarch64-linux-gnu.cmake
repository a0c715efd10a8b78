# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# 64-bit ARM (Debian arm64): 64-bit Raspberry Pi OS and Debian on a Raspberry Pi 3, 4 or 5.
set(X10_TRIPLET aarch64-linux-gnu)
set(X10_CPU aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-sysroot.cmake)
