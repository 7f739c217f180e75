# GoogleTest for the Win32 test programs, built from Debian's googletest sources
# with the cross compiler (posix thread model: GoogleTest needs std::mutex).
set(VELMIRE_GTEST_SRC /usr/src/googletest/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${VELMIRE_GTEST_SRC}/src/gtest-all.cc)
  message(FATAL_ERROR "GoogleTest sources not found in ${VELMIRE_GTEST_SRC}: install googletest")
endif()
add_library(gtest_win32 STATIC ${VELMIRE_GTEST_SRC}/src/gtest-all.cc)
target_include_directories(gtest_win32 SYSTEM PUBLIC ${VELMIRE_GTEST_SRC}/include
                           PRIVATE ${VELMIRE_GTEST_SRC})
target_compile_options(gtest_win32 PRIVATE -w)
add_library(gtest_main_win32 STATIC ${VELMIRE_GTEST_SRC}/src/gtest_main.cc)
target_link_libraries(gtest_main_win32 PUBLIC gtest_win32)
target_compile_options(gtest_main_win32 PRIVATE -w)

# velmire_win32_test(target sources...): a console test program run under Wine.
function(velmire_win32_test target)
  add_executable(${target} ${ARGN})
  target_link_libraries(${target} PRIVATE gtest_main_win32)
  target_link_options(${target} PRIVATE -static)
endfunction()
