# What is installed: the layout, the validators, the menu commands from the installed
# program folder; and the example binaries against their sources, where the assembler is
# installed (otherwise the test is skipped).
if(NOT UNIX OR APPLE)
    return()
endif()
add_executable(tst_installed tst_installed.cpp)
target_link_libraries(tst_installed PRIVATE Qt6::Test kestrion_windows kestrion_testsupport)
add_test(NAME installed-layout
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/installed-layout.sh ${PROJECT_BINARY_DIR}
                 $<TARGET_FILE:tst_installed> $<TARGET_EXISTS:kestrion-cli> ${PROJECT_VERSION})

foreach(board 8088 8052)
    add_test(NAME examples_${board}
             COMMAND bash ${PROJECT_SOURCE_DIR}/dist/assemble-examples.sh --check ${board})
    set_tests_properties(examples_${board} PROPERTIES SKIP_RETURN_CODE 77)
endforeach()
