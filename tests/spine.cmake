# The serial layer, the transfer window and the settings dialog.
if(NOT UNIX)
    return()   # the board's end of the line is a pseudo-terminal
endif()
kestrion_test(tst_serial SOURCES tst_serial.cpp LIBS kestrion_serial kestrion_testsupport)
# A serial driver's output queue on a pseudo-terminal, preloaded into the serial suite:
# a pseudo-terminal keeps none, and what an interrupt leaves depends on it.
add_library(fakeuart MODULE fakeuart.cpp)
target_link_libraries(fakeuart PRIVATE Threads::Threads ${CMAKE_DL_LIBS})
add_dependencies(tst_serial fakeuart)
set_property(TEST tst_serial APPEND PROPERTY ENVIRONMENT "LD_PRELOAD=$<TARGET_FILE:fakeuart>")
kestrion_test(tst_window SOURCES tst_window.cpp LIBS kestrion_transferrig)
add_dependencies(tst_window help_and_examples)   # the examples folder it opens
kestrion_test(tst_settings SOURCES tst_settings.cpp LIBS kestrion_shell kestrion_testsupport)
target_compile_definitions(tst_settings PRIVATE KESTRION_PATH="$<TARGET_FILE:Kestrion>")
add_dependencies(tst_settings Kestrion)   # started without a display
