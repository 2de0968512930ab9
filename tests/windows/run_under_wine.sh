#!/bin/sh
# run_under_wine.sh PROGRAM.exe [ARGS...]: a QtTest program under Wine. QtTest writes nothing to a
# redirected standard output there (it logs to the debugger when it has no console), so the log goes
# to a file that is shown afterwards; the exit status is the program's.
set -u
program=$1
shift
log=$(mktemp "${TMPDIR:-/tmp}/wine-test.XXXXXX")
trap 'rm -f "$log"' EXIT
xvfb-run -a "$WINE" "$program" -o "Z:$log,txt" "$@"
status=$?
cat "$log"
exit $status
