#!/bin/sh
# Creates the tests' Wine prefix ($WINEPREFIX) when it is missing, and waits until Wine has settled.
# Wine has none of Windows' own fonts, and its stand-ins lose the accents above capitals (Č, Í): the
# dialog fonts are mapped to DejaVu Sans, which has every Czech letter, as Windows' own fonts do.
# Under xvfb no window manager answers Wine, which then waits 2 s for one at every closed window:
# Wine is told to manage its windows itself.
set -eu
"$WINE" wineboot --init >/dev/null 2>&1
for font in "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "Segoe UI" "Arial" "MS Sans Serif"; do
    "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /t REG_SZ /d "DejaVu Sans" /f \
        >/dev/null 2>&1
done
"$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
exec wineserver -w
