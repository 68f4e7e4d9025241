# kestrion-cli end to end, against the virtual board (also behind ser2net).
if(TARGET vxt-board AND TARGET kestrion-cli)
    kestrion_test(tst_cli SOURCES tst_cli.cpp LIBS Qt6::Core Qt6::SerialPort kestrion_ser2net)
    target_compile_definitions(tst_cli PRIVATE
        VXT_BOARD_PATH="$<TARGET_FILE:vxt-board>" CLI_PATH="$<TARGET_FILE:kestrion-cli>")
    add_dependencies(tst_cli vxt-board kestrion-cli)
    set_target_properties(tst_cli PROPERTIES KESTRION_CAST_FROM_ASCII ON)   # arguments as plain literals
endif()
