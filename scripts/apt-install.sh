# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Sourced by install-deps.sh: apt-get that goes on past what Debian's mirrors get wrong for a
# while (an index caught mid-sync, one architecture's index behind another's). Uses "sudo"
# (an array: empty for root).

# Refreshes the package indexes. One that fails is tried once more, then left as it was: the
# packages of the indexes that did update can still be installed.
update_indexes() {
  local errors
  errors=$(mktemp)
  for attempt in 1 2; do
    "${sudo[@]}" apt-get update -qq 2>"$errors" && { rm -f "$errors"; return; }
    [ "$attempt" = 1 ] && sleep 5
  done
  echo "install-deps.sh: some package indexes did not update; going on with the others:" >&2
  grep -E '^(E|W):' "$errors" | sed 's/^/  /' >&2 || true
  rm -f "$errors"
}

# Installs the packages named, all at once when apt can; otherwise each that apt can install
# and then fails, naming every package it could not install with apt's reason.
install_packages() {
  apt_install "$@" 2>/dev/null && return
  local installable=() refused=() reason
  for package in "$@"; do
    if reason=$(apt-get install -s -qq --no-install-recommends "$package" 2>&1 >/dev/null); then
      installable+=("$package")
    else
      refused+=("$package: $(grep -vE '^(E: Unable to correct problems|$)' <<<"$reason" |
                             tr -s ' \n' ' ')")
    fi
  done
  [ ${#installable[@]} -eq 0 ] || apt_install "${installable[@]}"
  [ ${#refused[@]} -eq 0 ] || {
    echo "install-deps.sh: these packages cannot be installed from the indexes at hand:" >&2
    printf '  %s\n' "${refused[@]}" >&2
    return 1
  }
}

apt_install() {
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "$@"
}
