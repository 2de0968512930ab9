#!/bin/bash
# check_installer.sh BUILD_DIR VERSION: the Windows installer under Wine, as a user meets it, on a
# display of its own (run it under xvfb-run). A silent
# install (/S) into a fresh prefix puts the tool, every DLL it loads and its plugins under Program
# Files, a Start-menu entry and an entry among the installed programs; the installed tool starts,
# opens its window and keeps its settings in %APPDATA%, since Program Files is no place for them;
# the uninstaller (/S) removes the tool, its entry and its shortcut. The zip runs from a plain folder
# and keeps setting.ini beside the executable. The console twin alarmgsm-cli.exe prints where a
# script reads it and ends with its exit status. Both copies write the sets into the virtual phone
# ($ALARMGSM_LINUX_PHONE) on COM1 and read them back, without a display.
set -euo pipefail
build=$1
version=$2
installer=$build/alarmgsm-$version-win64.exe
zip=$build/alarmgsm-$version-win64.zip
export WINEPREFIX=$build/wine-installer WINEDEBUG=-all WINE=${WINE:-wine}
# Wine names Unix files in the locale's encoding: a C locale loses every letter beyond ASCII.
export LC_ALL=C.UTF-8
work=$(mktemp -d)
trap 'kill ${virtual_phone:-} 2>/dev/null; wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}
# shellcheck source=tests/windows/virtual_phone.sh
. "$(dirname "$0")/virtual_phone.sh"

rm -rf "$WINEPREFIX"
wine wineboot --init >/dev/null 2>&1
wineserver -w
drive=$WINEPREFIX/drive_c
folder="$drive/Program Files/Alarm GSM"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Alarm GSM/Alarm GSM.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Alarm GSM'

wine "$installer" /S
wineserver -w
for file in alarmgsm.exe alarmgsm-cli.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll libjpeg-62.dll libstdc++-6.dll \
    libgcc_s_seh-1.dll libwinpthread-1.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll; do
    [ -f "$folder/$file" ] || fail "the installer left out $file"
done
[ -f "$menu" ] || fail "no Start-menu entry"
wine reg query "$uninstall_key" /v UninstallString >/dev/null 2>&1 || fail "not listed among the installed programs"
echo "PASS: silent install"

# window_opens EXE: the tool starts and shows its main window on the display.
window_opens() {
    wine "$1" &
    local tool=$!
    for _ in $(seq 1 60); do
        if xwininfo -root -tree | grep -q "konfigurace ALARMU GSM II. generace"; then
            wine taskkill /im alarmgsm.exe /f >/dev/null 2>&1
            wait $tool || true
            return 0
        fi
        sleep 1
    done
    kill $tool
    return 1
}

window_opens "$folder/alarmgsm.exe" || fail "the installed tool opened no window"
appdata=$(find "$drive/users" -path '*/AppData/Roaming/alarmgsm/setting.ini' | head -1)
[ -n "$appdata" ] || fail "the installed tool kept no setting.ini in %APPDATA%\\alarmgsm"
[ ! -e "$folder/setting.ini" ] || fail "the installed tool wrote setting.ini into Program Files"
echo "PASS: the installed tool starts, settings in $appdata"

# The console twin answers where a script reads it, and ends with the command line's statuses.
[ "$(wine "$folder/alarmgsm-cli.exe" --version | tr -d '\r')" = "alarmgsm $version" ] ||
    fail "alarmgsm-cli.exe --version printed nothing on its standard output"
# A folder with a letter outside Wine's ANSI code page: the file is found only if the arguments
# are taken whole.
mkdir -p "$work/Jiří"
printf 'not a code\n' >"$work/Jiří/bad.par"
status=0
wine "$folder/alarmgsm-cli.exe" write --port COM1 --config "$work/Jiří/bad.par" 2>"$work/cli.err" || status=$?
[ "$status" -eq 1 ] || fail "alarmgsm-cli.exe with a bad file ended with $status, not 1"
grep -q "is not a valid integer value" "$work/cli.err" ||
    fail "alarmgsm-cli.exe did not tell the page's text for the bad file: $(cat "$work/cli.err")"
# Czech whole, whatever the PC's code page.
wine "$folder/alarmgsm-cli.exe" --help | grep -q 'Pomůcka pro nastavení' ||
    fail "alarmgsm-cli.exe --help lost its diacritics"
echo "PASS: the console twin answers on standard output and error, with its exit status"

# The sets as the pages save them: Windows-1250, CR LF.
printf '+000001101011\r\n+000000001235\r\n' >"$work/site.par"
printf '+420603123456\r\nDomov\r\n+420777000111\r\nPr\xe1ce\r\n\r\n\r\n+420444444444\r\nSoused Novak\r\n' \
    >"$work/site.num"
printf '+420603123456\r\nPoplach 1\r\n+420603123457\r\nPozar 2\r\n+420603123458\r\nZaplava\r\n+420603123459\r\nKonec\r\n' \
    >"$work/site.sms"
printf '+420777888999\r\nChata\r\n\r\n\r\n\r\n\r\n\r\n\r\n' >"$work/cottage.num"
mkdir "$work/phone"
virtual_phone_on_com1 "$work/phone"

# transfers EXE SIM_ENTRY OPTION FILE...: EXE writes the files into the phone on COM1 (SIM_ENTRY is
# then on the SIM) and reads them back as they were written, each run ending with status 0. Without
# a display, as over SSH: Wine begun without one makes no window but a message-only one, so a
# transfer that needs another fails here. Wine runs anew for the transfers, and ends after them.
transfers() {
    local exe=$1 entry=$2 written=() back=() status=0
    shift 2
    while [ $# -gt 0 ]; do
        written+=("$1" "$work/$2")
        back+=("$1" "$work/back-$2")
        shift 2
    done
    wineserver -k 2>/dev/null || true
    wineserver -w
    env -u DISPLAY wine "$exe" write --port COM1 "${written[@]}" >/dev/null 2>"$work/cli.err" || status=$?
    [ "$status" -eq 0 ] || fail "${exe##*/} write on COM1 ended with $status: $(cat "$work/cli.err")"
    grep -qF "$entry" "$work/phone/sim.txt" || fail "${exe##*/} write left the SIM without $entry"
    rm -f "$work"/back-*
    env -u DISPLAY wine "$exe" read --port COM1 "${back[@]}" >/dev/null 2>"$work/cli.err" || status=$?
    [ "$status" -eq 0 ] || fail "${exe##*/} read on COM1 ended with $status: $(cat "$work/cli.err")"
    for ((i = 1; i < ${#written[@]}; i += 2)); do
        cmp -s "${written[i]}" "${back[i]}" || fail "${exe##*/} read ${back[i]##*/} otherwise than written"
    done
    wineserver -k 2>/dev/null || true
    wineserver -w
}

transfers "$folder/alarmgsm-cli.exe" 'entry 4 "+420444444444" 145 "Soused Novak"' \
    --config site.par --numbers site.num --sms site.sms
grep -qF 'entry 5 "+000001101011" 145 "Setup"' "$work/phone/sim.txt" || fail "the configuration is not on the SIM"
grep -q '^message 4 ' "$work/phone/sim.txt" || fail "the messages are not on the SIM"
echo "PASS: the installed console twin writes and reads all three sets on COM1"

wine "$folder/Uninstall.exe" /S
wineserver -w
# The uninstaller copies itself away and finishes from there; give it a moment to end.
for _ in $(seq 1 30); do
    [ -e "$folder/alarmgsm.exe" ] || break
    sleep 1
done
[ ! -e "$folder/alarmgsm.exe" ] || fail "the uninstaller left the tool"
[ ! -e "$menu" ] || fail "the uninstaller left the Start-menu entry"
! wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "the uninstaller left its entry"
echo "PASS: silent uninstall"

portable="$drive/portable copy"
mkdir -p "$portable"
unzip -q "$zip" -d "$portable"
window_opens "$portable/alarmgsm.exe" || fail "the portable copy opened no window"
[ -f "$portable/setting.ini" ] || fail "the portable copy kept no setting.ini beside itself"
transfers "$portable/alarmgsm.exe" 'entry 1 "+420777888999" 145 "Chata"' --numbers cottage.num
echo "PASS: the zip runs from any folder, and its alarmgsm.exe writes and reads the numbers on COM1"
