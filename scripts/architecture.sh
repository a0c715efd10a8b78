# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Sourced by the scripts that take "--arch ARCH": sets arch to the Debian architecture asked for
# (the build machine's when none is), or windows (64-bit Windows), and cross to the preset that
# cross-builds for it, or to nothing when it is the build machine's.
native=$(dpkg --print-architecture)
arch=$native
if [ $# -gt 0 ]; then
  [ $# -eq 2 ] && [ "$1" = --arch ] || { echo "usage: $0 [--arch arm64|armhf|windows]" >&2; exit 2; }
  arch=$2
fi
case $arch in
  "$native") cross= ;;
  arm64 | armhf | windows) cross=$arch ;;
  *) echo "$0: no cross build for '$arch' (arm64, armhf or windows)" >&2; exit 2 ;;
esac
# After install-deps: sets configure_options to what the preset needs besides: for an ARM build
# the target's sysroot, made on first use (scripts/sysroot.sh); for Windows, X10_WINDOWS_QT in
# the environment names the Qt built for it, made on first use (scripts/windows-qt.sh).
set_configure_options() {
  configure_options=()
  case $cross in
    arm64 | armhf) configure_options=(-DX10_SYSROOT="$(scripts/sysroot.sh "$cross")") ;;
    windows)
      X10_WINDOWS_QT=$(scripts/windows-qt.sh | tail -1)
      export X10_WINDOWS_QT ;;
  esac
}
