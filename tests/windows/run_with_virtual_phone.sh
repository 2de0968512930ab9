#!/bin/bash
# run_with_virtual_phone.sh PHONE_OPTIONS PROGRAM.exe [TEST FUNCTIONS...]: a test of the whole tool
# under Wine against the virtual phone. The phone ($ALARMGSM_LINUX_PHONE, a Linux program) runs on a
# pseudo-terminal that the prefix maps as COM1, with the options given (one word, comma-separated);
# the test finds its SIM and byte log in ALARMGSM_PHONE_DIR. Wine reads its port mapping only as it
# starts, so the prefix ($WINEPREFIX) must be the test's own.
set -u
options=${1//,/ }
program=$2
shift 2
work=$(mktemp -d)
trap 'kill ${virtual_phone:-} 2>/dev/null; wait ${virtual_phone:-} 2>/dev/null; wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT
# The prefix as the other tests have it, with fonts that carry every Czech letter.
"$(dirname "$0")/wine_prefix.sh"
# shellcheck source=tests/windows/virtual_phone.sh
. "$(dirname "$0")/virtual_phone.sh"
# shellcheck disable=SC2086 # the options are words
virtual_phone_on_com1 "$work" $options || exit 1

log=$work/result.txt
ALARMGSM_PHONE_DIR="Z:$work" ALARMGSM_PHONE_OPTIONS="$options" \
    xvfb-run -a "$WINE" "$program" -o "Z:$log,txt" "$@"
status=$?
cat "$log"
exit $status
