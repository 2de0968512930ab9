# shellcheck shell=bash
# Sourced by the Windows tests that need the virtual phone on COM1.
# virtual_phone_on_com1 DIR [PHONE OPTIONS...]: starts the virtual phone of the Linux build
# ($ALARMGSM_LINUX_PHONE) on a pseudo-terminal, its SIM (DIR/sim.txt) and byte log (DIR/phone.log) in
# DIR, and maps it as COM1 of the existing prefix $WINEPREFIX. Wine reads its port mapping only as it
# starts, so Wine is ended here; the next Wine program starts it anew. The phone's process is
# $virtual_phone, for the caller to end.
virtual_phone_on_com1() {
    local dir=$1
    shift
    [ -x "${ALARMGSM_LINUX_PHONE:-}" ] || {
        echo "ALARMGSM_LINUX_PHONE (${ALARMGSM_LINUX_PHONE:-}) is no virtual phone: build the Linux tree first"
        return 1
    }
    "$ALARMGSM_LINUX_PHONE" --link "$dir/com1" --state "$dir/sim.txt" --log "$dir/phone.log" "$@" \
        >"$dir/device" &
    # shellcheck disable=SC2034 # the caller ends it
    virtual_phone=$!
    for _ in $(seq 100); do
        [ -L "$dir/com1" ] && break
        sleep 0.1
    done
    [ -L "$dir/com1" ] || {
        echo "the virtual phone did not start"
        return 1
    }
    "$WINE" reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$dir/com1" /f >/dev/null 2>&1
    wineserver -k >/dev/null 2>&1
    wineserver -w
}
