# gfxsetup's Wine tests: one GoogleTest program that drives gfxsetup.exe under
# Wine (split into ctest entries by test suite) and an engine library without
# the detection entry for it. The checks of its file are in tests/pe.
if(WIN32)
  velmire_win32_test(gfxsetup_wine_tests
    ${CMAKE_CURRENT_LIST_DIR}/gfxsetup_session.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gfxsetup_flow_tests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gfxsetup_dialog_tests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gfxsetup_help_tests.cpp
    ${CMAKE_SOURCE_DIR}/gfxsetup/help_texts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/utf8_code_page.rc)
  target_link_libraries(gfxsetup_wine_tests PRIVATE wine_player shell32)
  # The pop-up's texts are compared with the program's own.
  target_include_directories(gfxsetup_wine_tests PRIVATE ${CMAKE_SOURCE_DIR}/gfxsetup)
  # The programs it drives are built with it.
  add_dependencies(gfxsetup_wine_tests gfxsetup velmire_standin gfxsetup_empty_engine
                   winhlp32_stub)

  # Put in the place of the Windows folder's help viewer by the help tests.
  add_executable(winhlp32_stub WIN32 ${CMAKE_CURRENT_LIST_DIR}/winhlp32_stub.cpp
                                     ${CMAKE_CURRENT_LIST_DIR}/winhlp32_stub.rc)
  target_link_options(winhlp32_stub PRIVATE -static)

  add_library(gfxsetup_empty_engine SHARED ${CMAKE_CURRENT_LIST_DIR}/gfxsetup_empty_engine.cpp)
  set_target_properties(gfxsetup_empty_engine PROPERTIES PREFIX "")
  target_link_options(gfxsetup_empty_engine PRIVATE -static -static-libgcc -static-libstdc++)
endif()

if(NOT WIN32)
  foreach(part
      "first_run:Answers/First_Run.*"
      "leaving:Endings/Leaving.*"
      "kept_values:Values/Kept_Values.*"
      "auto_detect:Auto_Detect_Button.*:Engines/Missing_Engine.*"
      "options:Options/Advanced_Options.*"
      "not_saved:Saving/Not_Saved.*"
      "virtual_store:Copies/Virtual_Store.*"
      "help:Dialogs/Context_Help.*:Help_Texts.*:Edges/Popup_Edges.*"
      "display_scale:Scales/Display_Scale.*")
    string(FIND "${part}" ":" colon)
    string(SUBSTRING "${part}" 0 ${colon} name)
    math(EXPR start "${colon} + 1")
    string(SUBSTRING "${part}" ${start} -1 filter)
    velmire_add_wine_test(NAME gfxsetup.${name} EXE gfxsetup_wine_tests.exe DESKTOP
                          ARGS --gtest_filter=${filter})
  endforeach()

  # What only a user without the right to write shows, run as one.
  if(VELMIRE_WIN32_DIR)
    add_test(NAME gfxsetup.as_player
             COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/as-player.sh gfxsetup_wine_tests.exe
                     --gtest_filter=Denied/*)
    set_tests_properties(gfxsetup.as_player PROPERTIES FIXTURES_REQUIRED wine LABELS wine
                         TIMEOUT 600 ENVIRONMENT "${VELMIRE_WINE_TEST_ENV}")
    # The rows about Program Files again in a 64-bit prefix with the i686
    # build, where the tier can (wow64-prefix.sh says where it cannot).
    set(program_files_rows "Copies/*:Saving/Not_Saved.*UnderProgramFiles*:Saving/Not_Saved.*CopyInUse*")
    add_test(NAME gfxsetup.wow64_prefix
             COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/wow64-prefix.sh gfxsetup_wine_tests.exe
                     --gtest_filter=${program_files_rows})
    add_test(NAME gfxsetup.wow64_prefix_as_player
             COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/wow64-prefix.sh --as-player
                     gfxsetup_wine_tests.exe --gtest_filter=Denied/*)
    set_tests_properties(gfxsetup.wow64_prefix gfxsetup.wow64_prefix_as_player PROPERTIES
                         FIXTURES_REQUIRED wine LABELS wine TIMEOUT 600 SKIP_RETURN_CODE 77
                         RESOURCE_LOCK desktop ENVIRONMENT "${VELMIRE_WINE_TEST_ENV}")
  endif()
endif()
