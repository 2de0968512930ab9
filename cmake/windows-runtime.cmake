# What a Windows copy of the tool needs beside its executable: Qt's DLLs, its platform plugin and
# style, libjpeg, and the compiler's runtime, which Qt's own DLLs load too (so linking the tool
# statically would not spare them). The build tree gets them beside alarmgsm.exe, so it runs where
# it was built; the installer and the zip take the same list.
set(qt_prefix ${QT6_INSTALL_PREFIX})
set(ALARMGSM_WINDOWS_DLLS
    ${qt_prefix}/bin/Qt6Core.dll ${qt_prefix}/bin/Qt6Gui.dll ${qt_prefix}/bin/Qt6Widgets.dll
    ${qt_prefix}/bin/libjpeg-62.dll)
foreach(runtime libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
                    OUTPUT_VARIABLE runtime_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${runtime_path}" OR NOT EXISTS "${runtime_path}")
        message(FATAL_ERROR "The compiler's ${runtime} is missing")
    endif()
    # Debian ships them with their debugging information, ten times their size.
    set(stripped ${CMAKE_BINARY_DIR}/runtime/${runtime})
    if(NOT EXISTS ${stripped})
        file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/runtime)
        execute_process(COMMAND ${CMAKE_STRIP} --strip-debug -o ${stripped} ${runtime_path}
                        COMMAND_ERROR_IS_FATAL ANY)
    endif()
    list(APPEND ALARMGSM_WINDOWS_DLLS ${stripped})
endforeach()
set(ALARMGSM_WINDOWS_PLUGINS platforms/qwindows.dll styles/qwindowsvistastyle.dll)
set(ALARMGSM_QT_PLUGIN_DIR ${qt_prefix}/plugins)

# alarmgsm_windows_runtime(<target>): the DLLs and plugins copied beside the target's executable.
function(alarmgsm_windows_runtime target)
    set(commands)
    foreach(dll IN LISTS ALARMGSM_WINDOWS_DLLS)
        list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy_if_different ${dll} $<TARGET_FILE_DIR:${target}>)
    endforeach()
    foreach(plugin IN LISTS ALARMGSM_WINDOWS_PLUGINS)
        get_filename_component(folder ${plugin} DIRECTORY)
        list(APPEND commands
             COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:${target}>/${folder}
             COMMAND ${CMAKE_COMMAND} -E copy_if_different ${ALARMGSM_QT_PLUGIN_DIR}/${plugin}
                     $<TARGET_FILE_DIR:${target}>/${folder})
    endforeach()
    add_custom_command(TARGET ${target} POST_BUILD ${commands} VERBATIM)
endfunction()
