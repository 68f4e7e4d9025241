# The virtual board, driven end to end through a real pseudo-terminal.
if(TARGET vxt-board)
    kestrion_test(tst_simulator SOURCES tst_simulator.cpp LIBS Qt6::Core)
    target_compile_definitions(tst_simulator PRIVATE VXT_BOARD_PATH="$<TARGET_FILE:vxt-board>")
    add_dependencies(tst_simulator vxt-board)
    set_target_properties(tst_simulator PROPERTIES KESTRION_CAST_FROM_ASCII ON)   # arguments as plain literals
endif()
