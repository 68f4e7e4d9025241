# The splash with its opening frame, the program's version, the About box and the pictures.
kestrion_test(shell_splash SOURCES tst_splash.cpp LIBS kestrion_shell)
kestrion_test(shell_about SOURCES tst_about.cpp LIBS kestrion_shell)
kestrion_test(shell_artwork SOURCES tst_artwork.cpp LIBS kestrion_shell)
