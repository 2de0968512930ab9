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
[ -x "${ALARMGSM_LINUX_PHONE:-}" ] || {
    echo "ALARMGSM_LINUX_PHONE ($ALARMGSM_LINUX_PHONE) is no virtual phone: build the Linux tree first"
    exit 1
}
work=$(mktemp -d)
# shellcheck disable=SC2086 # the options are words
"$ALARMGSM_LINUX_PHONE" --link "$work/com1" --state "$work/sim.txt" --log "$work/phone.log" $options \
    >"$work/device" &
phone=$!
trap 'kill $phone 2>/dev/null; wait $phone 2>/dev/null; wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT
for _ in $(seq 100); do
    [ -L "$work/com1" ] && break
    sleep 0.1
done
[ -L "$work/com1" ] || { echo "the virtual phone did not start"; exit 1; }

# The prefix as the other tests have it, with fonts that carry every Czech letter.
"$(dirname "$0")/wine_prefix.sh"
"$WINE" reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$work/com1" /f >/dev/null 2>&1
wineserver -k >/dev/null 2>&1
wineserver -w

log=$work/result.txt
ALARMGSM_PHONE_DIR="Z:$work" ALARMGSM_PHONE_OPTIONS="$options" \
    xvfb-run -a "$WINE" "$program" -o "Z:$log,txt" "$@"
status=$?
cat "$log"
exit $status
