#!/bin/bash
# check_installer.sh BUILD_DIR VERSION: the Windows installer under Wine, as a user meets it, on a
# display of its own (run it under xvfb-run). A silent
# install (/S) into a fresh prefix puts the tool, every DLL it loads and its plugins under Program
# Files, a Start-menu entry and an entry among the installed programs; the installed tool starts,
# opens its window and keeps its settings in %APPDATA%, since Program Files is no place for them;
# the uninstaller (/S) removes the tool, its entry and its shortcut. The zip runs from a plain folder
# and keeps setting.ini beside the executable. The console twin alarmgsm-cli.exe prints where a
# script reads it and ends with its exit status.
set -euo pipefail
build=$1
version=$2
installer=$build/alarmgsm-$version-win64.exe
zip=$build/alarmgsm-$version-win64.zip
export WINEPREFIX=$build/wine-installer WINEDEBUG=-all
# Wine names Unix files in the locale's encoding: a C locale loses every letter beyond ASCII.
export LC_ALL=C.UTF-8
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

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
echo "PASS: the zip runs from any folder"
