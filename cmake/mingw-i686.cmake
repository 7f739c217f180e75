# Cross toolchain: 32-bit Windows programs with MinGW-w64. The shipped build:
# the engine is 32-bit.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TRIPLET i686-w64-mingw32)
set(VELMIRE_MINGW_PACKAGE g++-mingw-w64-i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
