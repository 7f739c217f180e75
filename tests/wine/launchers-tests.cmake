# The launchers' Wine tests: one Win32 test program, run under Wine as a few
# ctest entries. The checks of their files are in tests/pe.
if(WIN32)
  velmire_win32_test(launchers_wine_tests
    ${CMAKE_CURRENT_LIST_DIR}/launchers_support.cpp
    ${CMAKE_CURRENT_LIST_DIR}/launchers_sequence_tests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/launchers_cd_tests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/launchers_install_tests.cpp)
  target_link_libraries(launchers_wine_tests PRIVATE wine_player advapi32)
  # The tests copy these from the bin folder into their game folders.
  add_dependencies(launchers_wine_tests cdlaunch launch velmire_standin)
endif()

if(NOT WIN32)
  # launchers_wine_test(NAME FILTER [DESKTOP] [KEY]): KEY for tests that write
  # the installer's registry key, which all Wine tests share.
  function(launchers_wine_test name filter)
    cmake_parse_arguments(L "DESKTOP;KEY" "" "" ${ARGN})
    set(desktop)
    if(L_DESKTOP)
      set(desktop DESKTOP)
    endif()
    velmire_add_wine_test(NAME ${name} EXE launchers_wine_tests.exe ${desktop}
                          ARGS --gtest_filter=${filter})
    if(NOT TEST ${name})
      return()
    endif()
    set(locks)
    if(L_DESKTOP)
      list(APPEND locks desktop)
    endif()
    if(L_KEY)
      list(APPEND locks installation_key)
    endif()
    if(locks)
      set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${locks}")
    endif()
  endfunction()

  launchers_wine_test(launchers.sequence "*/LaunchSequence.*:*/CommandLine.*:*/ShowState.*" KEY)
  launchers_wine_test(launchers.missing_engine "*/MissingEngine.*")
  launchers_wine_test(launchers.running_game "*/RunningGame.*" DESKTOP KEY)
  # The CD tests change the prefix's drives: nothing else on the desktop meanwhile.
  launchers_wine_test(launchers.cd_search "*/CdSearch.*" DESKTOP KEY)
  launchers_wine_test(launchers.launch_incomplete "*/InstallationIncomplete.*" DESKTOP KEY)
  launchers_wine_test(launchers.launch_complete "*/InstallationComplete.*" KEY)
endif()
