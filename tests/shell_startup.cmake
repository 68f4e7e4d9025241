# The splash with its opening frame, the program's version and the About box.
kestrion_test(shell_splash SOURCES tst_splash.cpp LIBS kestrion_shell)
kestrion_test(shell_about SOURCES tst_about.cpp LIBS kestrion_shell)
