# `cpack -G DEB` in a build tree makes alarmgsm_<version>_<arch>.deb (scripts/package).
set(CPACK_PACKAGE_NAME alarmgsm)
set(CPACK_PACKAGE_VENDOR Korvex)
set(CPACK_PACKAGE_CONTACT "Korvex <alarmgsm@korvex.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://www.korvex.example/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for second-generation GSM alarm units")
# Wrapped by hand: Debian shows the description on 80-column terminals.
set(CPACK_PACKAGE_DESCRIPTION [[
A second-generation GSM alarm unit takes all its settings from the SIM card
of a mobile phone: the four numbers it calls, two codes carrying its options
and delay times, and the four alarm messages. This tool edits each set, saves
it to a file and loads it back, and writes it into the phone or reads it from
the phone over a serial cable with AT commands. Its user interface is in Czech.

The package includes a virtual phone on a pseudo-terminal, so that
alarmgsm --demo shows every transfer without a cable.]])
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its display plugins at run time, out of sight of dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
include(CPack)
