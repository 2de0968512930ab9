#!/bin/sh
# Creates the tests' Wine prefix ($WINEPREFIX) when it is missing, and waits until Wine has settled.
set -eu
"$WINE" wineboot --init >/dev/null 2>&1
exec wineserver -w
