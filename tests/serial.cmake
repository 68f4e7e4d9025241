# The engine in serial/: the wire formats, the telnet layer and the transfers' texts by
# table, the transfer session and the board station on a fake line (tests/fakeline.h),
# and the port with a pseudo-terminal as the board's end.
kestrion_test(tst_codecs SOURCES tst_codecs.cpp LIBS kestrion_serial)
kestrion_test(tst_telnet SOURCES tst_telnet.cpp LIBS kestrion_serial)
set_target_properties(tst_telnet PROPERTIES KESTRION_CAST_FROM_ASCII ON)   # expected events as plain literals
kestrion_test(tst_transfertexts SOURCES tst_transfertexts.cpp LIBS kestrion_serial)
kestrion_test(tst_session SOURCES tst_session.cpp fakeline.cpp fakeline.h LIBS kestrion_serial)
kestrion_test(tst_station SOURCES tst_station.cpp fakeline.cpp fakeline.h LIBS kestrion_serial)
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
