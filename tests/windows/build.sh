#!/usr/bin/env bash
# The fixture of the Windows tests: builds the program and its packages into OUTPUT_DIR with
# windows/build-program, so that each test tests what this run built. A machine that cannot
# build it skips (status 77; a failure where LUMENFOLD_WINDOWS_REQUIRED is set); a failed build
# fails, and with it every test that needs the program.
#   build.sh BUILD_DIR OUTPUT_DIR
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/lib.sh"
root=$(cd "$(dirname "$0")/../.." && pwd)
"$root/windows/build-program" "$1" "$2" 2>"$work/said"
status=$?
cat "$work/said"
case $status in
0) echo "PASS: built into $2" ;;
3) skip "$(tail -n 1 "$work/said")" ;;
*) fail "windows/build-program failed with status $status" ;;
esac
