# The start-up rule for WinMain's command line, tested on its own under Wine.
if(WIN32)
  velmire_win32_test(program_start_tests ${CMAKE_CURRENT_LIST_DIR}/program_start_tests.cpp
                     ${CMAKE_SOURCE_DIR}/startup/program_start.cpp)
  target_include_directories(program_start_tests PRIVATE ${CMAKE_SOURCE_DIR}/startup)
else()
  velmire_add_wine_test(NAME startup.arguments EXE program_start_tests.exe)
endif()
