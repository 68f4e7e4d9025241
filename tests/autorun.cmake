# autorun (spec Part 4.1): the launcher window, its layout, frame, states and links.
kestrion_test(tst_autorun SOURCES tst_autorun.cpp LIBS autorun_lib)
