# The players' archive: gfxsetup, the two launchers and docs/PLAYERS.txt in
# one ZIP, flat, to be unpacked into the game folder. Never the stand-in
# engine: the players' Velmire.dll comes with the game.
#   cmake --build build/win32 --target release   ->  build/win32/karnoth-velmire-programs.zip
set(VELMIRE_RELEASE_PROGRAMS gfxsetup cdlaunch launch)
set(VELMIRE_RELEASE_ZIP ${CMAKE_BINARY_DIR}/karnoth-velmire-programs.zip)

# Windows line ends, so that every text editor on the players' side reads it.
configure_file(${CMAKE_SOURCE_DIR}/docs/PLAYERS.txt ${CMAKE_BINARY_DIR}/release-text/PLAYERS.txt
               @ONLY NEWLINE_STYLE CRLF)

set(missing)
set(files)
foreach(program IN LISTS VELMIRE_RELEASE_PROGRAMS)
  if(TARGET ${program})
    list(APPEND files $<TARGET_FILE:${program}>)
  else()
    list(APPEND missing ${program})
  endif()
endforeach()

if(missing)
  add_custom_target(release
    COMMAND ${CMAKE_COMMAND} -E echo "release: no target for ${missing}"
    COMMAND ${CMAKE_COMMAND} -E false)
  return()
endif()

# Byte for byte the same from build to build, so that a player can check a
# download against the source: the programs carry the fixed PE time stamp
# (Win32Program.cmake) and the archive's entries its date.
find_program(VELMIRE_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
find_program(VELMIRE_PYTHON python3)
if(NOT VELMIRE_PYTHON)
  message(FATAL_ERROR "python3 not found: it packs the release archive")
endif()
add_custom_command(
  OUTPUT ${VELMIRE_RELEASE_ZIP}
  COMMAND ${VELMIRE_PYTHON} ${CMAKE_SOURCE_DIR}/cmake/pack_release.py
          ${VELMIRE_SOURCE_DATE_EPOCH} ${VELMIRE_RELEASE_ZIP}
          ${files} ${CMAKE_BINARY_DIR}/release-text/PLAYERS.txt
  DEPENDS ${VELMIRE_RELEASE_PROGRAMS} ${CMAKE_BINARY_DIR}/release-text/PLAYERS.txt
          ${CMAKE_SOURCE_DIR}/cmake/pack_release.py
  COMMENT "Packing ${VELMIRE_RELEASE_ZIP}"
  VERBATIM)
add_custom_target(release DEPENDS ${VELMIRE_RELEASE_ZIP})
