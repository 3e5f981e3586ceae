#!/usr/bin/env bash
# Runs one libFuzzer target for CTest: from its seed corpus in the repository, for a bounded time,
# keeping what it finds worth keeping in a scratch corpus in the build tree. A finding fails the
# test and is shown with the way to replay it and keep it as a regression case.
#   fuzz_run.sh TARGET WORKDIR CORPUS SECONDS [libFuzzer options...]
# ZB_FUZZ_SECONDS replaces SECONDS; ZB_FUZZ_MERGE=1 merges what the run kept into CORPUS (tools/fuzz).
set -uo pipefail
target=$1 work=$2 corpus=$3 seconds=${ZB_FUZZ_SECONDS:-$4}
shift 4
mkdir -p "$work/new" "$work/findings" "$work/device"
rm -f "$work/findings"/*
# The targets' device is their own, never the user's.
export ZONBREL_DEVICE="$work/device"
corpora=("$work/new")
[ -n "$corpus" ] && corpora+=("$corpus")

# libFuzzer bounds the run and each input; the outer bound only catches a hang outside an input.
timeout --signal=KILL $((seconds + 300)) "$target" -max_total_time="$seconds" -artifact_prefix="$work/findings/" \
  -print_final_stats=1 "$@" "${corpora[@]}"
status=$?

# libFuzzer also keeps slow-unit-* there: slow, but within the limit, so no finding.
for finding in "$work/findings"/*; do
  [ -f "$finding" ] || continue
  case ${finding##*/} in slow-unit-*) continue ;; esac
  [ "$status" -eq 0 ] && status=1
  echo "finding: $finding ($(stat -c %s "$finding") bytes)"
  echo "  replay: $target $finding"
  [ -n "$corpus" ] && echo "  once fixed, keep it as a regression case: cp $finding $corpus/"
  od -A x -t x1z -v "$finding" | head -n 32
done
if [ "$status" -eq 0 ] && [ "${ZB_FUZZ_MERGE:-0}" = 1 ] && [ -n "$corpus" ]; then
  # Edges only, not hit counts, so that the corpus stays small.
  "$target" -merge=1 -use_counters=0 "$@" "$corpus" "$work/new" 2>&1 | grep -E "MERGE-OUTER: [0-9]+ new files"
fi
exit "$status"
