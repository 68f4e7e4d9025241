# The wire formats, by table.
kestrion_test(tst_codecs SOURCES tst_codecs.cpp LIBS kestrion_serial)
