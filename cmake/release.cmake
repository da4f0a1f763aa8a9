# Resources of ipflip.exe (icon, manifest, version information) and the
# release package: `cmake --build <tree> --target package` makes
# ipflip-<version>-win32.zip (win64 in the 64-bit tree). The version is the
# project version and nothing else.
if(NOT TARGET ipflip)
    return()
endif()

enable_language(RC)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(IPFLIP_RESOURCE_DIR ${CMAKE_BINARY_DIR}/resources)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(IPFLIP_MANIFEST_ARCH amd64)
    set(IPFLIP_PACKAGE_SYSTEM win64)
else()
    set(IPFLIP_MANIFEST_ARCH x86)
    set(IPFLIP_PACKAGE_SYSTEM win32)
endif()
set(tweak 0)
if(PROJECT_VERSION_TWEAK)
    set(tweak ${PROJECT_VERSION_TWEAK})
endif()
set(IPFLIP_VERSION_QUAD
    ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.${tweak})
string(REPLACE "." "," IPFLIP_VERSION_COMMAS ${IPFLIP_VERSION_QUAD})

# The icon is drawn at build time: no binary picture in the sources.
set(IPFLIP_ICON_FILE ${IPFLIP_RESOURCE_DIR}/ipflip.ico)
add_custom_command(
    OUTPUT ${IPFLIP_ICON_FILE}
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/resources/make_icon.py ${IPFLIP_ICON_FILE}
    DEPENDS ${PROJECT_SOURCE_DIR}/resources/make_icon.py
    COMMENT "Drawing the program icon"
    VERBATIM)

set(IPFLIP_MANIFEST_FILE ${IPFLIP_RESOURCE_DIR}/ipflip.manifest)
configure_file(resources/ipflip.manifest.in ${IPFLIP_MANIFEST_FILE} @ONLY)
configure_file(resources/ipflip.rc.in ${IPFLIP_RESOURCE_DIR}/ipflip.rc @ONLY)

# windres does not see the files that the script names, so say it here.
set_source_files_properties(${IPFLIP_RESOURCE_DIR}/ipflip.rc PROPERTIES
    OBJECT_DEPENDS "${IPFLIP_ICON_FILE};${IPFLIP_MANIFEST_FILE}")
target_sources(ipflip PRIVATE ${IPFLIP_RESOURCE_DIR}/ipflip.rc ${IPFLIP_ICON_FILE})

# The read-me of the package: UTF-8 with a byte-order mark and CR LF line
# ends, so Notepad on a Chinese Windows shows it right.
set(readme_source ${PROJECT_SOURCE_DIR}/package/README.txt.in)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${readme_source})
file(READ ${readme_source} readme)
string(ASCII 239 187 191 byte_order_mark)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/package/README.txt
    CONTENT "${byte_order_mark}${readme}" @ONLY NEWLINE_STYLE CRLF)

install(TARGETS ipflip RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/package/README.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ipflip)
set(CPACK_PACKAGE_FILE_NAME ipflip-${PROJECT_VERSION}-${IPFLIP_PACKAGE_SYSTEM})
# The files sit at the top of the archive; unpacking makes the folder.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
