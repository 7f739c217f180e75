# Cross toolchain: 32-bit Windows programs with MinGW-w64 (the engine is 32-bit).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(TRIPLET i686-w64-mingw32)
# The posix thread model: GoogleTest (built for the Win32 test programs) needs
# std::mutex. The programs themselves use no threads, so nothing of it is linked in.
find_program(CMAKE_C_COMPILER   NAMES ${TRIPLET}-gcc-posix ${TRIPLET}-gcc)
find_program(CMAKE_CXX_COMPILER NAMES ${TRIPLET}-g++-posix ${TRIPLET}-g++)
find_program(CMAKE_RC_COMPILER  NAMES ${TRIPLET}-windres)
find_program(VELMIRE_DLLTOOL    NAMES ${TRIPLET}-dlltool)
find_program(VELMIRE_OBJDUMP    NAMES ${TRIPLET}-objdump)

foreach(tool CMAKE_C_COMPILER CMAKE_CXX_COMPILER CMAKE_RC_COMPILER VELMIRE_DLLTOOL VELMIRE_OBJDUMP)
  if(NOT ${tool})
    message(FATAL_ERROR "${tool} not found: install g++-mingw-w64-i686 (scripts/setup-deps.sh does)")
  endif()
endforeach()

set(CMAKE_FIND_ROOT_PATH /usr/${TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
