# Uploads, the 8052 download, both directions at once, and what happens when the port or
# the target file fails. The board's end of the line is a pseudo-terminal.
if(NOT UNIX)
    return()
endif()
kestrion_test(tst_uploads SOURCES tst_uploads.cpp LIBS kestrion_transferrig)
kestrion_test(tst_transferfaults SOURCES tst_transferfaults.cpp LIBS kestrion_transferrig)
