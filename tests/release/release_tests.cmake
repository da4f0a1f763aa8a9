# Checks of the program files and the release package, run by ctest on every
# build: imports, PE flags, version information, icon and manifest, and the
# package's content. Included from tests/CMakeLists.txt in the Windows tree.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

# Reads a program file's resources as Windows does.
add_executable(resource_report ${CMAKE_CURRENT_LIST_DIR}/resource_report_win.cpp)
target_compile_options(resource_report PRIVATE -municode)
target_link_options(resource_report PRIVATE -municode)
target_link_libraries(resource_report PRIVATE version)

set(release_check ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/check_release.py)
set(release_tools
    --version ${PROJECT_VERSION}
    --objdump ${CMAKE_OBJDUMP}
    --wine-run ${CMAKE_CROSSCOMPILING_EMULATOR}
    --report-program $<TARGET_FILE:resource_report>)

function(add_release_test name)
    add_test(NAME ${name} COMMAND ${ARGN})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix"
        TIMEOUT 300)
endfunction()

add_test(NAME release_checks_reject_faults
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/test_check_release.py)
add_release_test(release_program_${IPFLIP_PACKAGE_SYSTEM}
    ${release_check} program $<TARGET_FILE:ipflip> --arch ${IPFLIP_MANIFEST_ARCH} ${release_tools})

# The shipped 32-bit program and its package come from another build tree.
set(IPFLIP_SHIPPED_BUILD_DIR "" CACHE PATH
    "32-bit build tree whose program and release package are checked too")
if(IPFLIP_SHIPPED_BUILD_DIR)
    add_release_test(release_program_win32
        ${release_check} program ${IPFLIP_SHIPPED_BUILD_DIR}/ipflip.exe --arch x86 ${release_tools})
    add_release_test(release_package_win32
        ${release_check} package ${IPFLIP_SHIPPED_BUILD_DIR}/ipflip-${PROJECT_VERSION}-win32.zip
        --arch x86 ${release_tools})
else()
    message(STATUS "IPFLIP_SHIPPED_BUILD_DIR not set: the 32-bit program and package are not checked")
endif()
