# The same sources for 64-bit Windows: what the Windows tests run under Wine
# on hosts that cannot execute 32-bit code.
set(IPFLIP_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
