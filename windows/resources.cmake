# What the Windows build makes before its targets: the icon's pictures,
# rendered from the SVG by the host's build of velmoran_iconrender
# (VELMORAN_HOST_ICONRENDER), as a Qt resource for the windows and as the
# .ico of the .exe files; and the resource script that gives each .exe its
# icon, its version and its manifest.
set(VELMORAN_HOST_ICONRENDER "" CACHE FILEPATH
    "velmoran_iconrender of a Linux build of this source, for the icon's pictures")
if(NOT EXISTS "${VELMORAN_HOST_ICONRENDER}")
    message(FATAL_ERROR "VELMORAN_HOST_ICONRENDER must name the host's velmoran_iconrender")
endif()
set(icon_svg ${PROJECT_SOURCE_DIR}/packaging/icons/velmoran.svg)
set(icon_dir ${PROJECT_BINARY_DIR}/icons)
set(icon_pngs)
set(icon_qrc_files)
foreach(size 16 22 24 32 48 64 128 256)
    set(png ${icon_dir}/${size}.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${icon_dir}
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                ${VELMORAN_HOST_ICONRENDER} ${icon_svg} ${png} ${size}
        DEPENDS ${icon_svg}
        COMMENT "Rendering the ${size} px icon")
    list(APPEND icon_pngs ${png})
    string(APPEND icon_qrc_files "    <file alias=\"icons/${size}.png\">icons/${size}.png</file>\n")
endforeach()
file(WRITE ${PROJECT_BINARY_DIR}/velmoran_icons.qrc.new
    "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/velmoran\">\n"
    "${icon_qrc_files}  </qresource>\n</RCC>\n")
configure_file(${PROJECT_BINARY_DIR}/velmoran_icons.qrc.new ${PROJECT_BINARY_DIR}/velmoran_icons.qrc
    COPYONLY)
set_source_files_properties(${PROJECT_BINARY_DIR}/velmoran_icons.qrc PROPERTIES
    OBJECT_DEPENDS "${icon_pngs}")
set(VELMORAN_ICON_QRC ${PROJECT_BINARY_DIR}/velmoran_icons.qrc)

# The .ico of the .exe files and of the installer: 16 to 256 px in one file.
set(VELMORAN_ICO ${PROJECT_BINARY_DIR}/velmoran.ico)
add_custom_command(OUTPUT ${VELMORAN_ICO}
    COMMAND convert ${icon_dir}/16.png ${icon_dir}/24.png ${icon_dir}/32.png ${icon_dir}/48.png
            ${icon_dir}/64.png ${icon_dir}/128.png ${icon_dir}/256.png ${VELMORAN_ICO}
    DEPENDS ${icon_pngs}
    COMMENT "Making velmoran.ico")

# Made before the targets that take them (rcc reads the pictures, windres
# the .ico).
add_custom_target(velmoran_icons DEPENDS ${icon_pngs} ${VELMORAN_ICO})

string(REPLACE "." "," VELMORAN_VERSION_COMMAS "${PROJECT_VERSION},0")
configure_file(${PROJECT_SOURCE_DIR}/windows/velmoran.rc.in ${PROJECT_BINARY_DIR}/velmoran.rc @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/windows/velmoran.manifest
    ${PROJECT_BINARY_DIR}/velmoran.manifest COPYONLY)
set_source_files_properties(${PROJECT_BINARY_DIR}/velmoran.rc PROPERTIES
    OBJECT_DEPENDS "${VELMORAN_ICO};${PROJECT_BINARY_DIR}/velmoran.manifest")
set(VELMORAN_WINDOWS_RESOURCES ${PROJECT_BINARY_DIR}/velmoran.rc)

# The faces the program draws in on Linux (its substitutes for "B Nazanin",
# "B Traffic", "MS Sans Serif" ...), from Debian's font packages, brought
# along for a PC without Persian faces of its own: the screens were laid out
# with their metrics.
set(VELMORAN_WINDOWS_FONTS
    /usr/share/fonts/truetype/farsiweb/nazli.ttf /usr/share/fonts/truetype/farsiweb/nazlib.ttf
    /usr/share/fonts/truetype/farsiweb/homa.ttf /usr/share/fonts/truetype/farsiweb/titr.ttf
    /usr/share/fonts/truetype/freefarsi/FreeFarsi.ttf
    /usr/share/fonts/truetype/freefarsi/FreeFarsi-Bold.ttf
    /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
    /usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf
    /usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf
    /usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf
    /usr/share/fonts/truetype/liberation2/LiberationSerif-Bold.ttf)
