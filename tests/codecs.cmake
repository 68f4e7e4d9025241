# The wire formats and the transfers' texts, by table.
kestrion_test(tst_codecs SOURCES tst_codecs.cpp LIBS kestrion_serial)
kestrion_test(tst_transfertexts SOURCES tst_transfertexts.cpp LIBS kestrion_serial)
