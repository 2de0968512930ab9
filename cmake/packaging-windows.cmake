# The Windows installer and portable copy, made by scripts/package-windows with CPack in build-win:
# alarmgsm-<version>-win64.exe (NSIS, per machine, with a Start-menu entry and an uninstaller
# listed among the installed programs) and alarmgsm-<version>-win64.zip (runs from any folder,
# setting.ini beside the executable).
foreach(dll IN LISTS ALARMGSM_WINDOWS_DLLS)
    install(FILES ${dll} DESTINATION .)
endforeach()
foreach(plugin IN LISTS ALARMGSM_WINDOWS_PLUGINS)
    get_filename_component(folder ${plugin} DIRECTORY)
    install(FILES ${ALARMGSM_QT_PLUGIN_DIR}/${plugin} DESTINATION ${folder})
endforeach()

set(CPACK_PACKAGE_NAME alarmgsm)
set(CPACK_PACKAGE_VENDOR Korvex)
set(CPACK_PACKAGE_HOMEPAGE_URL https://www.korvex.example/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for second-generation GSM alarm units")
set(CPACK_PACKAGE_FILE_NAME alarmgsm-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Alarm GSM")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Alarm GSM")
set(CPACK_PACKAGE_EXECUTABLES alarmgsm "Alarm GSM")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# The zip's files lie at its top, so that unpacking it anywhere gives a folder that runs as it is.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)

set(CPACK_NSIS_PACKAGE_NAME "Alarm GSM")
set(CPACK_NSIS_DISPLAY_NAME "Alarm GSM")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MUI_ICON ${ALARMGSM_WINDOWS_ICON})
set(CPACK_NSIS_MUI_UNIICON ${ALARMGSM_WINDOWS_ICON})
set(CPACK_NSIS_INSTALLED_ICON_NAME alarmgsm.exe)
set(CPACK_NSIS_URL_INFO_ABOUT ${CPACK_PACKAGE_HOMEPAGE_URL})
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
# The template of CMake's own, with the 64-bit target.
list(PREPEND CMAKE_MODULE_PATH ${CMAKE_SOURCE_DIR}/cmake)
include(CPack)
