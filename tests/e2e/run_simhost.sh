#!/usr/bin/env bash
# Runs one simhost program of the win32 build under Wine, from the source
# tree, and compares what it printed with an expected transcript, exactly.
# The build folder's Windows path is shown as <BUILD>.
#
# usage: run_simhost.sh EXPECTED_FILE EXPECTED_STATUS PROGRAM [ARGS...]
# With KSV_UPDATE_EXPECTED=1 it writes the transcript instead of comparing.
set -u
expected=$1 status=$2 program=$3
shift 3
. "$(dirname "$0")/wine_env.sh"
cd "$(dirname "$0")/../.." || exit 1

output=$(mktemp)
trap 'rm -f "$output"' EXIT
timeout 120 wine "$KSV_WIN32_BUILD_DIR/$program" "$@" >"$output" 2>&1
actual_status=$?
if [ "$actual_status" -eq 124 ]; then
  echo "FAIL: $program did not finish within 120 s" >&2
  exit 1
fi

windows_build="Z:${KSV_WIN32_BUILD_DIR//\//\\}"
transcript=$(tr -d '\r' <"$output")
transcript=${transcript//"$windows_build"/<BUILD>}

if [ "${KSV_UPDATE_EXPECTED:-0}" = 1 ]; then
  printf '%s\n' "$transcript" >"$expected"
  echo "wrote $expected"
  exit 0
fi
status_ok=1
if [ "$actual_status" -ne "$status" ]; then
  echo "FAIL: exit status $actual_status, expected $status" >&2
  status_ok=0
fi
if ! diff -u "$expected" <(printf '%s\n' "$transcript"); then
  echo "FAIL: the transcript differs from $expected" >&2
  exit 1
fi
[ "$status_ok" = 1 ] || exit 1
echo "PASS: $program $*"
