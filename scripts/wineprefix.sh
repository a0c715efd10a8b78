# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Sourced by the scripts that run Windows programs under Wine.

# Prints the folder that keeps what is made once: /var/cache/x10console for root, else
# ~/.cache/x10console (X10_CACHE overrides both), as scripts/sysroot.sh keeps its sysroots.
wine_cache() {
  if [ "$(id -u)" -eq 0 ]; then echo "${X10_CACHE:-/var/cache/x10console}"
  else echo "${X10_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/x10console}"; fi
}

# wine_prefix_ready PREFIX: exports what Wine needs to run quietly in PREFIX, and makes the
# prefix first if needed (about 15 s, 700 MB), one caller at a time. No Mono or Gecko: the
# prefix asks for no download, and none of the programs uses .NET or HTML.
wine_prefix_ready() {
  export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  [ -f "$WINEPREFIX/.x10-ready" ] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 8
    if [ ! -f "$WINEPREFIX/.x10-ready" ]; then
      echo "wine: making the prefix $WINEPREFIX" >&2
      wineboot --init >/dev/null 2>"$WINEPREFIX.log" || { cat "$WINEPREFIX.log" >&2; exit 1; }
      wineserver -w
      touch "$WINEPREFIX/.x10-ready"
    fi
  ) 8>"$WINEPREFIX.lock"
}
