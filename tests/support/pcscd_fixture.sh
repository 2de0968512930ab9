#!/bin/sh
# pcscd_fixture.sh start|stop STATE_DIR: the one pcscd of the machine for the tests of the virtual
# reader. "start" uses a pcscd that already listens (a desktop's, started by systemd) and otherwise
# starts one in the foreground with Debian's configuration, which puts vpcd's readers on ports
# 35963/35964, and waits until it listens; "stop" ends only a pcscd that "start" started. Not with
# --auto-exit: a pcscd that quits between two tests would take the readers with it. pcscd needs
# root for /run/pcscd, so a user gets it through sudo.
set -eu
action=$1
state=$2
pidfile=$state/pcscd.pid
socket=/run/pcscd/pcscd.comm
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo -n"

listening() {
    ss -xlH 2>/dev/null | grep -qF " $socket "
}

case $action in
start)
    if listening; then
        echo "pcscd_fixture: using the pcscd that listens on $socket"
        exit 0
    fi
    mkdir -p "$state"
    # Its output goes to a file: a pcscd holding ctest's pipe would keep the fixture from ending.
    $sudo pcscd --foreground </dev/null >"$state/pcscd.log" 2>&1 &
    echo $! >"$pidfile"
    for _ in $(seq 1 100); do
        listening && exit 0
        [ -e "/proc/$(cat "$pidfile")" ] || break
        sleep 0.1
    done
    echo "pcscd_fixture: pcscd did not start:"
    cat "$state/pcscd.log"
    rm -f "$pidfile"
    exit 1
    ;;
stop)
    [ -f "$pidfile" ] || exit 0
    pid=$(cat "$pidfile")
    rm -f "$pidfile"
    $sudo kill "$pid" 2>/dev/null || exit 0
    # pcscd ends within 1-2 s of SIGTERM and cleans /run/pcscd.
    for _ in $(seq 1 100); do
        [ -e "/proc/$pid" ] || exit 0
        sleep 0.1
    done
    $sudo kill -KILL "$pid" 2>/dev/null || true
    ;;
*)
    echo "usage: pcscd_fixture.sh start|stop STATE_DIR" >&2
    exit 2
    ;;
esac
