#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Makes, once, a sysroot for cross-building for a Debian architecture and prints its path: the
# target's Qt and C++ libraries unpacked by mmdebstrap from that architecture's own package
# index, so the build machine needs no foreign architecture in dpkg and no package of the
# target's at its own version. No maintainer script runs (no emulator needed); the sysroot's
# /dev is left empty (qemu-user would open its device nodes in place of the machine's); and a
# package database listing every file under the sysroot's own path lets dpkg-shlibdeps name the
# packages the programs need.
# Kept under X10_CACHE (/var/cache/x10console for root, else ~/.cache/x10console), keyed by the
# architecture, the suite and the package list, so a changed list makes a fresh one.
# Usage: scripts/sysroot.sh arm64|armhf
set -euo pipefail
arch=${1:?usage: $0 arm64|armhf}
packages=(qt6-base-dev libgl-dev libstdc++-12-dev)
suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
if [ "$(id -u)" -eq 0 ]; then cache=${X10_CACHE:-/var/cache/x10console}
else cache=${X10_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/x10console}; fi
key=$(printf '%s\n' "$arch" "$suite" "${packages[@]}" | sha256sum | cut -c1-12)
mkdir -p "$cache"
root=$(realpath "$cache")/sysroot-$arch-$key
[ -e "$root/.complete" ] && { echo "$root"; exit 0; }

# The suite's own release, from the mirror the build machine's apt uses: its security and
# update indexes are left out, as one of them may be caught mid-sync or lag another
# architecture's.
mirror=$(apt-cache policy | awk -v s="$suite/main" '$3 == s { print $2; exit }')
[ -n "$mirror" ] || { echo "$0: apt knows no mirror of $suite main (apt-get update?)" >&2; exit 1; }

work=$root.partial
rm -rf "$work"
echo "sysroot.sh: unpacking ${packages[*]} for $arch from $suite into $root" >&2
mmdebstrap --quiet --variant=extract --arch="$arch" --include="$(IFS=,; echo "${packages[*]}")" \
  --skip=cleanup/apt/cache "$suite" "$work" "deb $mirror $suite main" >&2
rm -rf "${work:?}"/dev/*

# The package database: each package "installed", its files listed under the sysroot's final
# path (where dpkg-shlibdeps finds the libraries), its symbols and shlibs files beside them.
admin=$work/var/lib/dpkg
mkdir -p "$admin/info" "$admin/updates"
printf '%s\n' "$(dpkg --print-architecture)" "$arch" >"$admin/arch"
control=$(mktemp -d)
trap 'rm -rf "$control"' EXIT
for deb in "$work"/var/cache/apt/archives/*.deb; do
  name=$(dpkg-deb -f "$deb" Package) # one architecture: no name needs its qualifier
  dpkg-deb -f "$deb" | sed '/^Package:/a Status: install ok installed' >>"$admin/status"
  echo >>"$admin/status"
  dpkg-deb --fsys-tarfile "$deb" | tar -t | sed "s|^\./|$root/|; s|/\$||; s|^\.\$|$root|" \
    >"$admin/info/$name.list"
  rm -rf "${control:?}"/*
  dpkg-deb -e "$deb" "$control"
  for file in symbols shlibs; do
    [ ! -e "$control/$file" ] || cp "$control/$file" "$admin/info/$name.$file"
  done
done
rm -f "$work"/var/cache/apt/archives/*.deb
mv "$work" "$root"
touch "$root/.complete"
echo "$root"
