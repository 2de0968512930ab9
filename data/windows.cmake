# The Windows copy's icon, drawn from the one SVG at build time like the Linux icons: an .ico with
# the sizes Explorer and the Start menu ask for, built into alarmgsm.exe and shown by the installer.
set(icon_svg ${CMAKE_CURRENT_SOURCE_DIR}/icons/example.korvex.alarmgsm.svg)
set(ALARMGSM_WINDOWS_ICON ${CMAKE_CURRENT_BINARY_DIR}/alarmgsm.ico PARENT_SCOPE)
set(icon_ico ${CMAKE_CURRENT_BINARY_DIR}/alarmgsm.ico)
set(icon_pngs)
foreach(size 16 24 32 48 64 256)
    set(png ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons
        COMMAND rsvg-convert --width ${size} --height ${size} --output ${png} ${icon_svg}
        DEPENDS ${icon_svg} VERBATIM)
    list(APPEND icon_pngs ${png})
endforeach()
add_custom_command(OUTPUT ${icon_ico} COMMAND convert ${icon_pngs} ${icon_ico} DEPENDS ${icon_pngs} VERBATIM)
add_custom_target(windows_icon DEPENDS ${icon_ico})

set(icon_rc ${CMAKE_CURRENT_BINARY_DIR}/alarmgsm.rc)
file(WRITE ${icon_rc}.in "1 ICON \"@icon_ico@\"\n")
configure_file(${icon_rc}.in ${icon_rc} @ONLY)
target_sources(alarmgsm PRIVATE ${icon_rc})
set_source_files_properties(${icon_rc} TARGET_DIRECTORY alarmgsm PROPERTIES OBJECT_DEPENDS ${icon_ico})
add_dependencies(alarmgsm windows_icon)

install(FILES ${icon_ico} DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
