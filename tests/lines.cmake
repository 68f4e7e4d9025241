# Lines to a board: a pseudo-terminal, a connection the test accepts, and Debian's ser2net
# on 127.0.0.1 (skipped where ser2net is not installed). The ser2net harness and the line
# sender (and the delaying proxy, a slow network in front of a server) also serve tst_cli
# and bench_lines.
if(NOT UNIX)
    return()   # the device behind ser2net is a pseudo-terminal
endif()
add_library(kestrion_ser2net STATIC ser2netserver.cpp ser2netserver.h linesender.h delayingproxy.cpp delayingproxy.h)
target_include_directories(kestrion_ser2net PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kestrion_ser2net PUBLIC Qt6::Network Qt6::Test)
kestrion_test(tst_lines SOURCES tst_lines.cpp LIBS kestrion_serial kestrion_testsupport kestrion_ser2net Qt6::Network)
set_target_properties(tst_lines PROPERTIES KESTRION_CAST_FROM_ASCII ON)   # addresses as plain literals
