# ctest entries that run the Win32 configuration's programs under Wine, on a
# private Xvfb display. VELMIRE_WIN32_DIR names that configuration's build folder.
set(VELMIRE_WIN32_DIR "" CACHE PATH "build folder of the Win32 configuration")
set(VELMIRE_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
set(VELMIRE_WINE_ENV ${CMAKE_SOURCE_DIR}/tests/wine/wine-env.sh)

if(VELMIRE_WIN32_DIR)
  add_test(NAME wine.setup COMMAND ${VELMIRE_WINE_ENV} setup)
  add_test(NAME wine.teardown COMMAND ${VELMIRE_WINE_ENV} teardown)
  set_tests_properties(wine.setup PROPERTIES FIXTURES_SETUP wine LABELS wine
                       ENVIRONMENT VELMIRE_WINE_STATE=${VELMIRE_WINE_STATE})
  set_tests_properties(wine.teardown PROPERTIES FIXTURES_CLEANUP wine LABELS wine
                       ENVIRONMENT VELMIRE_WINE_STATE=${VELMIRE_WINE_STATE})
endif()

# velmire_add_wine_test(NAME name EXE file-in-win32-bin [DESKTOP] [ARGS ...])
# Runs the program under Wine in a fresh working folder build/native/wine-work/NAME.
# The program finds the Win32 build's bin folder in VELMIRE_BIN (a Unix path).
# DESKTOP: the test drives windows on the shared display, so no other such test
# runs beside it.
function(velmire_add_wine_test)
  cmake_parse_arguments(T "DESKTOP" "NAME;EXE" "ARGS" ${ARGN})
  if(NOT VELMIRE_WIN32_DIR)
    return()
  endif()
  set(work ${CMAKE_BINARY_DIR}/wine-work/${T_NAME})
  add_test(NAME ${T_NAME}
           COMMAND ${VELMIRE_WINE_ENV} run-in ${work} ${VELMIRE_WIN32_DIR}/bin/${T_EXE} ${T_ARGS})
  set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED wine LABELS wine TIMEOUT 600
    ENVIRONMENT "VELMIRE_WINE_STATE=${VELMIRE_WINE_STATE};VELMIRE_BIN=${VELMIRE_WIN32_DIR}/bin")
  if(T_DESKTOP)
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK desktop)
  endif()
endfunction()
