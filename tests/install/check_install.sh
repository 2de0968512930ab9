#!/usr/bin/env bash
# Installs a build tree into a temporary prefix and checks what a desktop and a user find there.
#   check_install.sh BUILD_DIR VERSION
set -uo pipefail
build=$1
version=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failed=0

check() {
    local what=$1
    shift
    if "$@"; then
        echo "PASS: $what"
    else
        echo "FAIL: $what"
        failed=$((failed + 1))
    fi
}

# A PNG whose pixel size matches the hicolor directory it lies in.
png_of_size() {
    file "$1" | grep -q "PNG image data, $2 x $2,"
}

# The installed tool's answer to an option, matched by grep's ARGS; the tool must end with status 0
# too, which a sanitized build's report at exit denies.
#   answers OPTION ARGS...
answers() {
    local output
    output=$("$prefix/bin/alarmgsm" "$1") && grep "${@:2}" <<<"$output"
}

# man prints troff's complaints on stderr and the page on stdout.
man_page_renders() {
    [ -s "$1" ] && [ -z "$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$1" 2>&1 >/dev/null)" ]
}

if ! cmake --install "$build" --prefix "$prefix" >/dev/null; then
    echo "FAIL: cmake --install"
    exit 1
fi
id=example.korvex.alarmgsm
desktop=$prefix/share/applications/$id.desktop
check "desktop file" desktop-file-validate "$desktop"
check "AppStream metainfo" appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"
icon=$(sed -n 's/^Icon=//p' "$desktop")
check "scalable icon $icon" test -s "$prefix/share/icons/hicolor/scalable/apps/$icon.svg"
for size in 48 64 128 256; do
    check "icon $icon at $size px" png_of_size "$prefix/share/icons/hicolor/${size}x$size/apps/$icon.png" "$size"
done
exec_line=$(sed -n 's/^Exec=//p' "$desktop" | head -1)
check "Exec names the installed tool" test -x "$prefix/bin/${exec_line%% *}"
check "the virtual phone beside the tool" test -x "$prefix/bin/alarmgsm-phone"
check "--version of the installed tool" answers --version -qxF "alarmgsm $version"
check "--help of the installed tool" answers --help -q "^Usage: alarmgsm \[options\]"
for page in alarmgsm alarmgsm-phone; do
    check "manual page $page" man_page_renders "$prefix/share/man/man1/$page.1.gz"
done
check "copyright and changelog" test -s "$prefix/share/doc/alarmgsm/copyright" -a -s "$prefix/share/doc/alarmgsm/changelog.gz"
echo "install: $failed failed"
[ "$failed" -eq 0 ]
