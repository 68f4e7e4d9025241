# The transfer window on a fake line that plays the board: its controls and menu
# commands, uploads, the 8052 download, both directions at once, and what happens when
# the port or the target file fails.
if(NOT UNIX)
    return()
endif()
kestrion_test(tst_window SOURCES tst_window.cpp LIBS kestrion_transferrig)
add_dependencies(tst_window help_and_examples)   # the examples folder it opens
kestrion_test(tst_uploads SOURCES tst_uploads.cpp LIBS kestrion_transferrig)
kestrion_test(tst_transferfaults SOURCES tst_transferfaults.cpp LIBS kestrion_transferrig)
