# The shipped program: 32-bit Windows.
set(IPFLIP_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
