# The shell: the splash with its opening frame, the program's version, the About box, the
# pictures, and the settings dialog with pseudo-terminals as its ports.
kestrion_test(tst_splash SOURCES tst_splash.cpp LIBS kestrion_shell)
kestrion_test(tst_about SOURCES tst_about.cpp LIBS kestrion_shell)
kestrion_test(tst_artwork SOURCES tst_artwork.cpp LIBS kestrion_shell)
if(NOT UNIX)
    return()
endif()
kestrion_test(tst_settings SOURCES tst_settings.cpp LIBS kestrion_shell kestrion_testsupport kestrion_ser2net)
target_compile_definitions(tst_settings PRIVATE KESTRION_PATH="$<TARGET_FILE:Kestrion>")
add_dependencies(tst_settings Kestrion)   # started without a display
