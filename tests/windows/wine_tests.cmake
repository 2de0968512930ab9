# The Windows tests run under Wine (wine64), in a prefix of their own below the build tree, with
# Qt's DLLs and the compiler's runtime on WINEPATH and Qt's plugins beside them.
find_program(ALARMGSM_WINE wine REQUIRED)
set(ALARMGSM_WINEPREFIX ${CMAKE_BINARY_DIR}/wine)
set(wine_path)
foreach(dll IN LISTS ALARMGSM_WINDOWS_DLLS)
    get_filename_component(folder ${dll} DIRECTORY)
    list(APPEND wine_path "Z:${folder}")
endforeach()
list(REMOVE_DUPLICATES wine_path)
string(REPLACE ";" "\\;" wine_path "${wine_path}")
set(ALARMGSM_WINE_ENVIRONMENT
    "WINEPREFIX=${ALARMGSM_WINEPREFIX}" "WINEDEBUG=-all" "WINEPATH=${wine_path}"
    "QT_PLUGIN_PATH=Z:${ALARMGSM_QT_PLUGIN_DIR}" "WINE=${ALARMGSM_WINE}")

# Made once per run, before any test: two Wine starts that both find no prefix would race to make it.
add_test(NAME wine_prefix COMMAND ${CMAKE_CURRENT_LIST_DIR}/wine_prefix.sh)
set_tests_properties(wine_prefix PROPERTIES
    FIXTURES_SETUP wine TIMEOUT 300 LABELS wine ENVIRONMENT "${ALARMGSM_WINE_ENVIRONMENT}")

# alarmgsm_wine_test(<name> <labels>): the test program under Wine, judged by its exit status and
# its QtTest log. A test that needs more around it (ports) names its own emulator.
function(alarmgsm_wine_test name labels)
    set_target_properties(${name} PROPERTIES
        CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/run_under_wine.sh)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        LABELS "${labels};wine"
        TIMEOUT 300
        FIXTURES_REQUIRED wine
        ENVIRONMENT "${ALARMGSM_WINE_ENVIRONMENT};QT_QPA_PLATFORM=offscreen;ALARMGSM_SOURCE_DIR=Z:${CMAKE_SOURCE_DIR}")
endfunction()

set(ALARMGSM_LINUX_PHONE ${CMAKE_SOURCE_DIR}/build/alarmgsm-phone CACHE FILEPATH
    "The virtual phone built for Linux, for the Windows tests of the whole tool")

# The installer and the zip, made beforehand by scripts/package-windows, with the virtual phone on
# COM1 of the prefix the test makes afresh.
add_test(NAME test_installer
         COMMAND xvfb-run -a -s "-screen 0 1024x768x24"
                 ${CMAKE_CURRENT_LIST_DIR}/check_installer.sh ${CMAKE_BINARY_DIR} ${PROJECT_VERSION})
set_tests_properties(test_installer PROPERTIES LABELS "install;wine" TIMEOUT 600
    ENVIRONMENT "WINE=${ALARMGSM_WINE};ALARMGSM_LINUX_PHONE=${ALARMGSM_LINUX_PHONE}")

# alarmgsm_wine_live_test(<name> SOURCES ... FUNCTIONS ... [PHONE_OPTIONS ...]): the whole tool under
# Wine against the virtual phone of the Linux build (ALARMGSM_LINUX_PHONE), in a prefix of its own
# since mapping COM1 restarts Wine; only the test functions named run, as the others restart or
# reload the phone.
function(alarmgsm_wine_live_test name)
    cmake_parse_arguments(T "" "" "SOURCES;FUNCTIONS;PHONE_OPTIONS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE alarmgsm_gui Qt6::Test)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    string(REPLACE ";" "," options "${T_PHONE_OPTIONS}")
    add_test(NAME ${name}
             COMMAND ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/run_with_virtual_phone.sh "${options}"
                     $<TARGET_FILE:${name}> ${T_FUNCTIONS})
    set_tests_properties(${name} PROPERTIES
        LABELS "gui;wine;live"
        TIMEOUT 300
        ENVIRONMENT "${ALARMGSM_WINE_ENVIRONMENT};WINEPREFIX=${CMAKE_BINARY_DIR}/wine-${name};ALARMGSM_LINUX_PHONE=${ALARMGSM_LINUX_PHONE}")
endfunction()

# Debian trixie's Wine 10, in a chroot the cache keeps (scripts/wine10-chroot), for what Wine 8
# cannot do: its winscard reaches the host's pcscd. Its prefix is its own: Wine 10 would upgrade
# Wine 8's. The first run makes the chroot (about two minutes), so the fixture may take long.
set(wine10 ${CMAKE_CURRENT_LIST_DIR}/wine10_chroot.sh ${CMAKE_BINARY_DIR})
set(wine10_environment "WINEPREFIX=${CMAKE_BINARY_DIR}/wine10" "WINEDEBUG=-all")
add_test(NAME wine10_prefix COMMAND ${wine10} ${CMAKE_CURRENT_LIST_DIR}/wine_prefix.sh)
set_tests_properties(wine10_prefix PROPERTIES
    FIXTURES_SETUP wine10 TIMEOUT 900 LABELS wine ENVIRONMENT "${wine10_environment}")

set(ALARMGSM_LINUX_CARD ${CMAKE_SOURCE_DIR}/build/alarmgsm-card CACHE FILEPATH
    "The virtual card built for Linux, for the Windows tests on a card reader")
set(ALARMGSM_LINUX_CARD_TEST ${CMAKE_SOURCE_DIR}/build/tests/card/test_card_live CACHE FILEPATH
    "The Linux build's test of the card reader path, whose command-line cases the Windows build runs")

# The console twin on the virtual card in the host's reader, under Wine 10: the Linux build's
# command-line cases of the card, with alarmgsm-cli.exe as the tool, so the same files must give the
# same records, files and answers on both systems.
add_test(NAME test_card_wine10
         COMMAND ${wine10} ${ALARMGSM_LINUX_CARD_TEST}
                 commandLineWritesAsThePages commandLineOnTheCard lastTryOnlyWhenAllowed)
set_tests_properties(test_card_wine10 PROPERTIES
    LABELS "card;wine"
    TIMEOUT 300
    FIXTURES_REQUIRED "pcscd;wine10"
    RESOURCE_LOCK virtual_pcd_00
    ENVIRONMENT "${wine10_environment};QT_QPA_PLATFORM=offscreen;ALARMGSM_CARD=${ALARMGSM_LINUX_CARD};ALARMGSM_APP=${CMAKE_CURRENT_LIST_DIR}/console_twin.sh;ALARMGSM_WINDOWS_CLI=$<TARGET_FILE:alarmgsm-cli>")

# The readers as the Port menu lists them (the window's own listing), through Wine 10's winscard.
add_test(NAME test_reader_list_wine10 COMMAND ${wine10} wine $<TARGET_FILE:smart_card_probe> --list)
set_tests_properties(test_reader_list_wine10 PROPERTIES
    LABELS "card;wine"
    TIMEOUT 120
    FIXTURES_REQUIRED "pcscd;wine10"
    PASS_REGULAR_EXPRESSION "(^|\n)Virtual PCD 00 00\r?\n"
    ENVIRONMENT "${wine10_environment}")
