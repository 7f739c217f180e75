# Shared part of the MinGW-w64 toolchain files: the compilers and tools of
# TRIPLET, which the including file sets.
set(CMAKE_SYSTEM_NAME Windows)

# The posix thread model: GoogleTest (built for the Win32 test programs) needs
# std::mutex. The programs themselves use no threads, so nothing of it is linked in.
find_program(CMAKE_C_COMPILER   NAMES ${TRIPLET}-gcc-posix ${TRIPLET}-gcc)
find_program(CMAKE_CXX_COMPILER NAMES ${TRIPLET}-g++-posix ${TRIPLET}-g++)
find_program(CMAKE_RC_COMPILER  NAMES ${TRIPLET}-windres)
find_program(VELMIRE_DLLTOOL    NAMES ${TRIPLET}-dlltool)
find_program(VELMIRE_OBJDUMP    NAMES ${TRIPLET}-objdump)

foreach(tool CMAKE_C_COMPILER CMAKE_CXX_COMPILER CMAKE_RC_COMPILER VELMIRE_DLLTOOL VELMIRE_OBJDUMP)
  if(NOT ${tool})
    message(FATAL_ERROR "${tool} not found: install ${VELMIRE_MINGW_PACKAGE} (scripts/setup-deps.sh does)")
  endif()
endforeach()

set(CMAKE_FIND_ROOT_PATH /usr/${TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
