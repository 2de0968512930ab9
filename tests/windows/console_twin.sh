#!/bin/sh
# console_twin.sh ARGS...: the Windows build's alarmgsm-cli.exe ($ALARMGSM_WINDOWS_CLI) under $WINE
# where a Linux test starts the tool's command line (ALARMGSM_APP): the same arguments, standard
# input and output, and exit status.
exec "$WINE" "$ALARMGSM_WINDOWS_CLI" "$@"
