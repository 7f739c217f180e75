# The players' archive: gfxsetup, the two launchers and docs/PLAYERS.txt in
# one ZIP, flat, to be unpacked into the game folder. Never the stand-in
# engine: the players' Velmire.dll comes with the game.
#   cmake --build build/win32 --target release   ->  build/win32/karnoth-velmire-programs.zip
set(VELMIRE_RELEASE_PROGRAMS gfxsetup cdlaunch launch)
set(VELMIRE_RELEASE_ZIP ${CMAKE_BINARY_DIR}/karnoth-velmire-programs.zip)
set(stage ${CMAKE_BINARY_DIR}/release)

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

add_custom_command(
  OUTPUT ${VELMIRE_RELEASE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
  COMMAND ${CMAKE_COMMAND} -E copy ${files} ${CMAKE_BINARY_DIR}/release-text/PLAYERS.txt ${stage}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${VELMIRE_RELEASE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E chdir ${stage}
          ${CMAKE_COMMAND} -E tar cf ${VELMIRE_RELEASE_ZIP} --format=zip
          gfxsetup.exe cdlaunch.exe launch.exe PLAYERS.txt
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  DEPENDS ${VELMIRE_RELEASE_PROGRAMS} ${CMAKE_BINARY_DIR}/release-text/PLAYERS.txt
  COMMENT "Packing ${VELMIRE_RELEASE_ZIP}"
  VERBATIM)
add_custom_target(release DEPENDS ${VELMIRE_RELEASE_ZIP})
