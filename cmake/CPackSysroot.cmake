# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Read by cpack as it runs, for a cross build: the package database that dpkg-shlibdeps (and the
# dpkg-query it runs) reads is the sysroot's, not the build machine's.
set(ENV{DPKG_ADMINDIR} ${CPACK_X10_DPKG_ADMINDIR})
