#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Installs a built Debian package with apt on a fresh, minimal Debian system (debootstrap into
# a folder, as root), then checks that what a user gets works: the programs run with only the
# package's dependencies, the console's window opens on an X display, the desktop entry and
# its icon are where the desktop looks, the man pages are there; and that purging removes it.
# Usage (as root): tests/package/install-fresh.sh x10console_1.00_amd64.deb \
#   build/package/package-expected.sh [work folder]
# (package-expected.sh, written by CMake, names the version and the desktop id.)
# X10_DEBIAN_MIRROR overrides the archive the fresh system is made from; X10_FRESH_SCREENSHOT
# names a PNG file to take the console's window into (needs ImageMagick's import).
set -euo pipefail
deb=$(realpath "$1")
work=$(realpath -m "${3:-build/package/fresh}")
here=$(dirname "$0")
source "$here/checks.sh"
source "$2"

suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
mirror=${X10_DEBIAN_MIRROR:-http://deb.debian.org/debian}
root=$work/root
display=:$((90 + RANDOM % 100))
xvfb=

in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }
apt_in_root() { in_root env DEBIAN_FRONTEND=noninteractive apt-get -o Acquire::Retries=3 "$@"; }

# Never deletes through a mount that is still there (a run that was killed may have left one).
remove_work() {
  if mountpoint -q "$root/proc"; then umount "$root/proc" || umount -l "$root/proc"; fi
  if mountpoint -q "$root/proc"; then
    echo "install-fresh.sh: $root/proc is still mounted; not deleting $work" >&2
    return 1
  fi
  rm -rf "$work"
}
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  remove_work
}

[ "$(id -u)" -eq 0 ] || { echo "install-fresh.sh: needs root (debootstrap, chroot)" >&2; exit 2; }
remove_work
trap cleanup EXIT
mkdir -p "$work"
echo "== a fresh $suite system (debootstrap, minbase)"
# The archive is reached over the network: a download that breaks off is tried again.
for attempt in 1 2 3; do
  debootstrap --variant=minbase "$suite" "$root" "$mirror" > "$work/debootstrap.log" 2>&1 && break
  [ "$attempt" -eq 3 ] && { tail -n 20 "$work/debootstrap.log"; exit 1; }
  rm -rf "$root"
  sleep 5
done
mount -t proc proc "$root/proc"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"

echo "== apt-get install ./$(basename "$deb")"
apt_in_root update -qq
check "apt installs the package and its dependencies" apt_in_root install -y -qq "/tmp/$(basename "$deb")"
check "dpkg has it installed at $version" \
  test "$(in_root dpkg-query -W -f='${Status} ${Version}' x10console)" = "install ok installed $version"

echo "== what the user gets"
check "x10console is on the PATH" in_root sh -c 'command -v x10console'
check "cm11a-sim runs" in_root cm11a-sim --version
check "the desktop entry is in the applications folder" test -f "$root/usr/share/applications/$id.desktop"
for size in 16x16 32x32 48x48; do
  check "its icon is in the hicolor theme at $size" test -f "$root/usr/share/icons/hicolor/$size/apps/$id.png"
done
check "the man pages are in the man path" \
  test -f "$root/usr/share/man/man1/x10console.1.gz" -a -f "$root/usr/share/man/man1/cm11a-sim.1.gz"

# The window opens on an X server outside the fresh system, reached over TCP, so the console
# uses nothing but what the package pulled in (the xcb platform plugin among it).
Xvfb "$display" -listen tcp -ac -screen 0 1024x768x24 -dpi 96 > "$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 50); do xwininfo -display "$display" -root >/dev/null 2>&1 && break; sleep 0.1; done
console_shows_form1() {
  in_root env DISPLAY="127.0.0.1$display" x10console > "$work/console.log" 2>&1 &
  local console=$! shown=1
  for _ in $(seq 100); do
    if xwininfo -display "$display" -root -tree 2>/dev/null | grep -q '"Form1"'; then shown=0; break; fi
    kill -0 "$console" 2>/dev/null || break
    sleep 0.1
  done
  if [ "$shown" -eq 0 ] && [ -n "${X10_FRESH_SCREENSHOT:-}" ]; then
    sleep 1
    import -display "$display" -window root "$X10_FRESH_SCREENSHOT"
  fi
  kill "$console" 2>/dev/null
  wait "$console" 2>/dev/null
  [ "$shown" -eq 0 ] || { cat "$work/console.log"; return 1; }
}
check "x10console opens its window Form1 on X" console_shows_form1

echo "== apt-get purge"
check "purging removes it" apt_in_root purge -y -qq x10console
check "no file of it is left" \
  test ! -e "$root/usr/bin/x10console" -a ! -e "$root/usr/share/applications/$id.desktop"

tally
