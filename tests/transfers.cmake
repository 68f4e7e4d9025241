# Uploads, the 8052 download, both directions at once, and what happens when the port or
# the target file fails. The board's end of the line is a pseudo-terminal.
if(NOT UNIX)
    return()
endif()
kestrion_test(tst_uploads SOURCES tst_uploads.cpp transferrig.cpp transferrig.h LIBS kestrion_shell kestrion_testsupport)
kestrion_test(tst_transferfaults SOURCES tst_transferfaults.cpp transferrig.cpp transferrig.h LIBS kestrion_shell kestrion_testsupport)
