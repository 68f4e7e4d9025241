# The Windows layout, as the setup program installs it under Program Files\Kestrion and
# as the disc carries the start menu (scripts/kestrion.sh windows lays both out):
#   component programs:  bin\        Kestrion.exe, kestrion-cli.exe, readme.htm and its
#                                    readme-pictures\, and what they run on: Qt's DLLs,
#                                    its Windows platform plugin, a style, the JPEG plugin,
#                                    Qt's Traditional Chinese texts, the MinGW runtime, qt.conf
#                        Dos\VXT-8088\, Dos\VXT-8052\   the example programs
#   component disc:      autorun.exe and the same runtime, less QtNetwork
# Help > Content opens readme.htm beside the program, View > Examples ..\Dos\VXT-80xx.

install(TARGETS Kestrion kestrion-cli RUNTIME DESTINATION bin COMPONENT programs)
install(DIRECTORY help/ DESTINATION bin COMPONENT programs)
install(DIRECTORY Dos DESTINATION . COMPONENT programs)
install(TARGETS autorun RUNTIME DESTINATION . COMPONENT disc)

# Qt's DLLs and plugins, from the Qt the programs were built against.
get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
if(NOT qt_core_dll)
    get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION)
endif()
get_filename_component(qt_bin ${qt_core_dll} DIRECTORY)
set(qt_plugins ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS})

# The MinGW runtime the DLLs were built with, where the compiler has it.
set(mingw_runtime)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
        find_file(path_${dll} ${dll} PATHS /usr/${CMAKE_CXX_LIBRARY_ARCHITECTURE}/lib
                  /usr/x86_64-w64-mingw32/lib REQUIRED NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
        set(path ${path_${dll}})
    endif()
    list(APPEND mingw_runtime ${path})
endforeach()

# Qt's own texts in Traditional Chinese: Debian's qt6-translations-l10n, the same for every
# platform of this Qt version.
find_file(KESTRION_QT_ZH_TW qtbase_zh_TW.qm PATHS /usr/share/qt6/translations
          REQUIRED NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)

file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/qt.conf "[Paths]\nPrefix = .\nPlugins = plugins\nTranslations = translations\n")

function(install_qt_runtime component destination)
    set(modules)
    foreach(module Core Gui Widgets ${ARGN})
        list(APPEND modules ${qt_bin}/Qt6${module}.dll)
    endforeach()
    install(FILES ${modules} ${mingw_runtime} ${CMAKE_CURRENT_BINARY_DIR}/qt.conf
            DESTINATION ${destination} COMPONENT ${component})
    install(FILES ${qt_plugins}/platforms/qwindows.dll
            DESTINATION ${destination}/plugins/platforms COMPONENT ${component})
    install(FILES ${qt_plugins}/styles/qwindowsvistastyle.dll
            DESTINATION ${destination}/plugins/styles COMPONENT ${component})
    install(FILES ${qt_plugins}/imageformats/qjpeg.dll
            DESTINATION ${destination}/plugins/imageformats COMPONENT ${component})
    install(FILES ${KESTRION_QT_ZH_TW} DESTINATION ${destination}/translations COMPONENT ${component})
endfunction()
install_qt_runtime(programs bin Network)
install_qt_runtime(disc .)
