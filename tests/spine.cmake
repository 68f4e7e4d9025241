# The serial layer, the transfer window and the settings dialog.
add_library(kestrion_testsupport STATIC ptyboard.cpp ptyboard.h)
target_link_libraries(kestrion_testsupport PUBLIC Qt6::Core Qt6::Test util)

kestrion_test(tst_serial SOURCES tst_serial.cpp LIBS kestrion_serial kestrion_testsupport)
