#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Mutation pass: seeds each small fault listed in tests/mutants/*.mut into the source, one at a
# time, rebuilds build/mutate incrementally, runs every test but the long storms and prints
# whether a test caught the fault. The source tree is restored after each mutant, on Ctrl-C,
# and at the next start after a run that was killed outright.
#
#   scripts/mutate.sh              every mutant; the table also goes to build/mutate/table.txt
#   scripts/mutate.sh NAME...      only these
#   scripts/mutate.sh --check      only check that every mutant still applies (no build)
#
# A mutant is a block of lines "key: value" (one space after the colon):
#   name: a unique name          file: the file it changes, from the repository root
#   slip: the fault in words     find: code that occurs exactly once in the file
#   with: what replaces it       equivalent: why no test can tell (optional; not run)
# A repeated find: or with: line continues the snippet on a new line. A mutant whose snippet
# no longer occurs exactly once, or that does not build, is an error, never "killed".
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/mutate
work=$build/mutation
backup=$work/backup

names=() files=() slips=() finds=() withs=() equivalents=()

die() {
  echo "mutate.sh: $*" >&2
  exit 2
}

load() {
  local list line key value n=-1 withlines=0
  for list in tests/mutants/*.mut; do
    while IFS= read -r line || [ -n "$line" ]; do
      case $line in '' | '#'*) continue ;; esac
      key=${line%%:*}
      value=${line#*:}
      value=${value# }
      if [ "$key" = name ]; then
        n=${#names[@]}
        names+=("$value") files+=("") slips+=("") finds+=("") withs+=("") equivalents+=("")
        withlines=0
        continue
      fi
      [ $n -ge 0 ] || die "$list: '$line' before the first name:"
      case $key in
        file) files[n]=$value ;;
        slip) slips[n]=$value ;;
        equivalent) equivalents[n]=$value ;;
        find) finds[n]=${finds[n]:+${finds[n]}$'\n'}$value ;;
        with)
          [ $((withlines++)) -eq 0 ] || withs[n]+=$'\n'
          withs[n]+=$value
          ;;
        *) die "$list: unknown key '$key' in '$line'" ;;
      esac
    done <"$list"
  done
  [ ${#names[@]} -gt 0 ] || die "no mutants in tests/mutants/"
  local dupes
  dupes=$(printf '%s\n' "${names[@]}" | sort | uniq -d)
  [ -z "$dupes" ] || die "mutant names used twice: $dupes"
}

# How often the snippet of mutant $1 occurs in its file.
occurrences() {
  [ -f "${files[$1]}" ] || {
    echo 0
    return
  }
  FIND=${finds[$1]} perl -0777 -ne '$n = () = /\Q$ENV{FIND}\E/g; print $n' "${files[$1]}"
}

apply() {
  FIND=${finds[$1]} WITH=${withs[$1]} perl -0777 -i -pe 's/\Q$ENV{FIND}\E/$ENV{WITH}/' "${files[$1]}"
}

# The file being mutated is copied aside first; this puts it back. A copy left behind by a run
# that was killed outright is put back at the next start.
restore() {
  if [ -f "$backup/path" ]; then
    cp "$backup/content" "$(cat "$backup/path")"
    rm -f "$backup/path" "$backup/content"
  fi
}

mutate() {
  mkdir -p "$backup"
  cp "${files[$1]}" "$backup/content"
  echo "${files[$1]}" >"$backup/path"
  apply "$1"
}

# Tests ordered from the fastest, by their times in the run without mutants, in three tiers:
# a caught fault usually fails a quick test, and the slower tiers then never start.
tiers=()
plan_tests() {
  local log=$work/baseline.log
  echo "Baseline: building $build and running the tests without mutants" >&2
  cmake --build "$build" -j2 >"$work/baseline-build.log" 2>&1 ||
    die "the unmutated tree does not build: $work/baseline-build.log"
  ctest --test-dir "$build" -E storm -j2 >"$log" 2>&1 || die "tests fail without mutants: $log"
  local fast="" medium="" slow="" name secs
  while read -r name secs; do
    if awk "BEGIN { exit !($secs < 1) }"; then
      fast+="|$name"
    elif awk "BEGIN { exit !($secs < 5) }"; then
      medium+="|$name"
    else
      slow+="|$name"
    fi
  done < <(sed -nE 's/.*Test +#[0-9]+: ([^ ]+) \.+ +Passed +([0-9.]+) sec.*/\1 \2/p' "$log" | sort -k2 -g)
  local tier
  for tier in "$fast" "$medium" "$slow"; do
    [ -n "$tier" ] && tiers+=("^(${tier#|})\$")
  done
  return 0
}

# Runs the tiers; prints the first test that failed, or nothing when all passed.
first_failure() {
  local tier out=$work/ctest.log
  for tier in "${tiers[@]}"; do
    if ! ctest --test-dir "$build" -R "$tier" -j2 --stop-on-failure >"$out" 2>&1; then
      sed -nE 's/^[[:space:]]*[0-9]+ - ([^ ]+) \((.*)\)$/\1 (\2)/p' "$out" | head -1 | sed 's/ (Failed)$//'
      return
    fi
  done
}

run_one() {
  local i=$1 started=$SECONDS killer
  if [ -n "${equivalents[i]}" ]; then
    result[i]=equivalent
    return
  fi
  if [ "$(occurrences "$i")" != 1 ]; then
    result[i]=error caught[i]="snippet does not occur exactly once"
    return
  fi
  mutate "$i"
  if ! cmake --build "$build" -j2 >"$work/build.log" 2>&1; then
    restore
    result[i]=error caught[i]="does not build"
    return
  fi
  killer=$(first_failure)
  restore
  if [ -n "$killer" ]; then
    result[i]=killed caught[i]=$killer
  else
    result[i]=survived
  fi
  echo "  ${names[i]}: ${result[i]} $killer ($((SECONDS - started)) s)" >&2
}

area() { echo "${1%%/*}"; }

print_table() {
  local i
  printf '%-36s %-44s %-10s %s\n' mutant file result "caught by"
  for i in "${selected[@]}"; do
    printf '%-36s %-44s %-10s %s\n' "${names[i]}" "${files[i]}" "${result[i]}" "${caught[i]:-}"
  done
  for i in "${selected[@]}"; do
    case ${result[i]} in survived | error) echo "  ${names[i]} (${result[i]}): ${slips[i]}" ;; esac
  done
  echo
  local a killed survived equivalent errors
  for a in controller console simulator vocabulary all; do
    killed=0 survived=0 equivalent=0 errors=0
    for i in "${selected[@]}"; do
      [ $a = all ] || [ "$(area "${files[i]}")" = $a ] || continue
      case ${result[i]} in
        killed) killed=$((killed + 1)) ;;
        survived) survived=$((survived + 1)) ;;
        equivalent) equivalent=$((equivalent + 1)) ;;
        *) errors=$((errors + 1)) ;;
      esac
    done
    local counted=$((killed + survived)) rate=-
    [ $counted -eq 0 ] || rate=$(awk "BEGIN { printf \"%.1f %%\", 100 * $killed / $counted }")
    printf '%-10s killed %3d of %3d (%s), %d equivalent, %d errors\n' \
      "$a" $killed $counted "$rate" $equivalent $errors
  done
}

# The whole run is one function, read before it starts: the list and this script may then be
# edited while it runs.
main() {
  load
  selected=()
  check_only=false
  if [ "${1:-}" = --check ]; then
    check_only=true
    shift
  fi
  if [ $# -eq 0 ]; then
    selected=("${!names[@]}")
  else
    for want in "$@"; do
      found=false
      for i in "${!names[@]}"; do
        [ "${names[i]}" = "$want" ] && selected+=("$i") found=true
      done
      $found || die "no mutant named $want"
    done
  fi

  if $check_only; then
    bad=0
    for i in "${selected[@]}"; do
      n=$(occurrences "$i")
      if [ "$n" != 1 ]; then
        echo "${names[i]}: the snippet occurs $n times in ${files[i]}"
        bad=1
      fi
    done
    [ $bad -eq 0 ] && echo "all ${#selected[@]} mutants apply"
    exit $bad
  fi

  mkdir -p "$work"
  restore
  trap restore EXIT
  trap 'exit 130' INT TERM HUP

  scripts/install-deps.sh test
  [ -f "$build/CMakeCache.txt" ] || cmake --preset mutate >/dev/null
  plan_tests
  result=() caught=()
  for i in "${selected[@]}"; do
    run_one "$i"
  done
  restore
  cmake --build "$build" -j2 >"$work/build.log" 2>&1 # leave the build as the source is
  print_table | tee "$build/table.txt"
  echo "Run on $(date -u +%Y-%m-%d) at $(git rev-parse --short HEAD)$(git diff --quiet || echo ' with local changes')"
  for i in "${selected[@]}"; do
    [ "${result[i]}" != error ] || exit 1
  done
}

main "$@"
exit
