# The Windows programs' resources: the icon, drawn from our artwork (dist/icons, made by
# assets/draw-artwork.sh app-icons), and a version resource with the numbers of
# project(VERSION). Needs icotool (Debian: icoutils).
find_program(KESTRION_ICOTOOL icotool REQUIRED)
set(icons ${PROJECT_SOURCE_DIR}/dist/icons/hicolor)
set(KESTRION_ICO ${PROJECT_BINARY_DIR}/generated/kestrion.ico)
set(kestrion_icon_sizes 16 24 32 48 64 128)
set(kestrion_icon_pngs)
foreach(size ${kestrion_icon_sizes})
    list(APPEND kestrion_icon_pngs ${icons}/${size}x${size}/apps/kestrion.png)
endforeach()
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${kestrion_icon_pngs} ${icons}/256x256/apps/kestrion.png)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/generated)
# 256 pixels as PNG inside the icon, the smaller sizes as bitmaps.
execute_process(
    COMMAND ${KESTRION_ICOTOOL} -c -o ${KESTRION_ICO} ${kestrion_icon_pngs} -r ${icons}/256x256/apps/kestrion.png
    COMMAND_ERROR_IS_FATAL ANY)

# kestrion_windows_resources(TARGET DESCRIPTION): gives the program the icon and its
# version resource.
function(kestrion_windows_resources target description)
    set(KESTRION_PROGRAM ${target})
    set(KESTRION_DESCRIPTION ${description})
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/dist/windows/program.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()
