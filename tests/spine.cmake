# The serial layer, the transfer window and the settings dialog.
if(NOT UNIX)
    return()   # the board's end of the line is a pseudo-terminal
endif()
add_library(kestrion_testsupport STATIC ptyboard.cpp ptyboard.h messageboxes.cpp messageboxes.h)
target_link_libraries(kestrion_testsupport PUBLIC Qt6::Widgets Qt6::Test util)

kestrion_test(tst_serial SOURCES tst_serial.cpp LIBS kestrion_serial kestrion_testsupport)
kestrion_test(tst_window SOURCES tst_window.cpp LIBS kestrion_windows kestrion_testsupport)
target_include_directories(tst_window PRIVATE ${PROJECT_SOURCE_DIR}/shell)
add_dependencies(tst_window help_and_examples)   # the examples folder it opens
kestrion_test(tst_settings SOURCES tst_settings.cpp LIBS kestrion_shell kestrion_testsupport)
