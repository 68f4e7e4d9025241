# autorun: the launcher window, its layout, frame, states and links.
kestrion_test(tst_autorun SOURCES tst_autorun.cpp LIBS autorun_lib)
