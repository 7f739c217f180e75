# ctest entries that run the Win32 programs under Wine, on a private Xvfb
# display. VELMIRE_WIN32_DIR and VELMIRE_WIN64_DIR name the i686 and x86-64
# build folders. Which one runs, and under which Wine (the tiers win32,
# win32-emulated and win64 of tests/wine/wine-tier.sh), is decided once for
# this build folder and recorded in its wine-tier file: by scripts/test before
# ctest, else by wine.setup where there is no record for the VELMIRE_WINE_TIER
# of the run (which forces a tier); every entry reads it and prints its line.
set(VELMIRE_WIN32_DIR "" CACHE PATH "build folder of the i686 Win32 configuration (shipped)")
set(VELMIRE_WIN64_DIR "" CACHE PATH "build folder of the x86-64 Win32 configuration")
set(VELMIRE_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
set(VELMIRE_WINE_ENV ${CMAKE_SOURCE_DIR}/tests/wine/wine-env.sh)
set(VELMIRE_WINE_TEST_ENV VELMIRE_WINE_STATE=${VELMIRE_WINE_STATE}
    VELMIRE_TIER_FILE=${CMAKE_BINARY_DIR}/wine-tier
    VELMIRE_WIN32_DIR=${VELMIRE_WIN32_DIR} VELMIRE_WIN64_DIR=${VELMIRE_WIN64_DIR})

if(VELMIRE_WIN32_DIR AND NOT VELMIRE_WIN64_DIR)
  message(FATAL_ERROR "VELMIRE_WIN64_DIR is needed beside VELMIRE_WIN32_DIR: "
                      "the Wine tests run the x86-64 build where 32-bit Wine, native or emulated, cannot")
endif()

if(VELMIRE_WIN32_DIR)
  add_test(NAME wine.setup COMMAND ${VELMIRE_WINE_ENV} setup)
  add_test(NAME wine.teardown COMMAND ${VELMIRE_WINE_ENV} teardown)
  set_tests_properties(wine.setup PROPERTIES FIXTURES_SETUP wine LABELS wine
                       ENVIRONMENT "${VELMIRE_WINE_TEST_ENV}")
  set_tests_properties(wine.teardown PROPERTIES FIXTURES_CLEANUP wine LABELS wine
                       ENVIRONMENT "${VELMIRE_WINE_TEST_ENV}")
  # The tier choice with its probes made to answer, and the emulated tier's
  # set-up made to fail: it says where and falls back.
  add_test(NAME setup.emulated_fallback COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/emulated-fallback.sh)
  set_tests_properties(setup.emulated_fallback PROPERTIES LABELS setup)
endif()

# velmire_add_wine_test(NAME name EXE file-in-bin [DESKTOP] [ARGS ...])
# Runs the tier's bin/EXE under Wine in a fresh working folder
# build/native/wine-work/NAME. The program finds that bin folder in VELMIRE_BIN
# (a Unix path). DESKTOP: the test drives windows on the shared display, so no
# other such test runs beside it.
function(velmire_add_wine_test)
  cmake_parse_arguments(T "DESKTOP" "NAME;EXE" "ARGS" ${ARGN})
  if(NOT VELMIRE_WIN32_DIR)
    return()
  endif()
  set(work ${CMAKE_BINARY_DIR}/wine-work/${T_NAME})
  add_test(NAME ${T_NAME}
           COMMAND ${VELMIRE_WINE_ENV} run-test ${work} ${T_EXE} ${T_ARGS})
  set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED wine LABELS wine TIMEOUT 600
    ENVIRONMENT "${VELMIRE_WINE_TEST_ENV}")
  if(T_DESKTOP)
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK desktop)
  endif()
endfunction()
