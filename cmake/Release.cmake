# The players' archive: gfxsetup, the two launchers and docs/PLAYERS.txt in
# one ZIP, flat, to be unpacked into the game folder. Never the stand-in
# engine: the players' Velmire.dll comes with the game.
#   cmake --build build/win32 --target release   ->  build/win32/karnoth-velmire-programs.zip
set(VELMIRE_RELEASE_PROGRAMS gfxsetup cdlaunch launch)
set(VELMIRE_RELEASE_ZIP ${CMAKE_BINARY_DIR}/karnoth-velmire-programs.zip)

# Windows line ends, so that every text editor on the players' side reads it.
configure_file(${CMAKE_SOURCE_DIR}/docs/PLAYERS.txt ${CMAKE_BINARY_DIR}/release-text/PLAYERS.txt
               @ONLY NEWLINE_STYLE CRLF)

set(files)
foreach(program IN LISTS VELMIRE_RELEASE_PROGRAMS)
  list(APPEND files $<TARGET_FILE:${program}>)
endforeach()

# Byte for byte the same from build to build, so that a player can check a
# download against the source: the programs carry the fixed PE time stamp
# (Win32Program.cmake) and the archive's entries its date.
add_custom_command(
  OUTPUT ${VELMIRE_RELEASE_ZIP}
  COMMAND ${VELMIRE_PYTHON3} ${CMAKE_SOURCE_DIR}/cmake/pack_release.py
          ${VELMIRE_SOURCE_DATE_EPOCH} ${VELMIRE_RELEASE_ZIP}
          ${files} ${CMAKE_BINARY_DIR}/release-text/PLAYERS.txt
  DEPENDS ${VELMIRE_RELEASE_PROGRAMS} ${CMAKE_BINARY_DIR}/release-text/PLAYERS.txt
          ${CMAKE_SOURCE_DIR}/cmake/pack_release.py
  COMMENT "Packing ${VELMIRE_RELEASE_ZIP}"
  VERBATIM)
add_custom_target(release DEPENDS ${VELMIRE_RELEASE_ZIP})
