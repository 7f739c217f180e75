# Cross toolchain: the same sources as 64-bit Windows programs. Never shipped:
# the Wine tests run this build where 32-bit Wine, native or emulated, cannot.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TRIPLET x86_64-w64-mingw32)
set(VELMIRE_MINGW_PACKAGE g++-mingw-w64-x86-64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
