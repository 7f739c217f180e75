# Flags for everything cross-built for Win32: warning-free, small, and with the
# C++ runtime linked in statically so that an exe imports only system DLLs.
add_compile_options(-Wall -Wextra)
# Strings and tables keep their own alignment, not 32 bytes for every array.
set(VELMIRE_PROGRAM_CXX_FLAGS -Os -malign-data=abi -fno-exceptions -fno-rtti -fno-threadsafe-statics
    -fno-asynchronous-unwind-tables -ffunction-sections -fdata-sections)
set(VELMIRE_STATIC_LINK -static -static-libgcc -static-libstdc++ -Wl,--gc-sections)

# The shipped programs enter at Program_Start (startup/program_start.cpp); a
# 32-bit symbol carries the leading underscore of C names there.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(VELMIRE_ENTRY_SYMBOL _Program_Start)
  # Arguments pushed, not stored into a frame reserved for the largest call,
  # and no 16-byte alignment that Win32 never promised: a sixth less code.
  # Pushing rules out the stack probe that frames larger than a page need,
  # so a frame that large fails the build. MinGW-w64's i686 compiler keeps a
  # frame pointer unless told not to: its set-up, and EBP as one more
  # register, are worth a few bytes in most functions.
  # -Oz over -Os: shorter instructions even where they run slower (a
  # constant loaded by push and pop), which these programs never notice. No
  # jumps for calls at a function's end: with the arguments pushed, such a
  # jump first moves them over the caller's own, longer than call and ret.
  list(APPEND VELMIRE_PROGRAM_CXX_FLAGS -mpreferred-stack-boundary=2
       -mno-accumulate-outgoing-args -mno-stack-arg-probe -Werror=frame-larger-than=4096
       -fomit-frame-pointer -Oz -fno-optimize-sibling-calls)
else()
  set(VELMIRE_ENTRY_SYMBOL Program_Start)
endif()

# The PE time stamp of the shipped programs, so that two builds of one commit
# are byte for byte the same: SOURCE_DATE_EPOCH when set, else the time of the
# commit checked out, else 0 (a tree without git).
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(VELMIRE_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git -C ${CMAKE_SOURCE_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE VELMIRE_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE git_result ERROR_QUIET)
  if(NOT git_result EQUAL 0)
    set(VELMIRE_SOURCE_DATE_EPOCH 0)
  endif()
endif()
if(NOT VELMIRE_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH '${VELMIRE_SOURCE_DATE_EPOCH}' is not a number of seconds")
endif()

# velmire_program(target [WINDOWS] [OWN_START] [LTO]): a program built with the
# shipped flags: -Os (-Oz for i686), no exceptions or RTTI, static runtime,
# stripped.
# LTO, for the i686 build: the program's own sources optimised as one unit at
# the link (calls between its files in registers, small functions inlined);
# the libraries it links stay apart, so that the link map still tells their
# share.
# OWN_START, for the shipped programs: enters at Program_Start without
# MinGW-w64's start-up code (checked in the link map), does not opt in to DEP
# (the engine that runs inside may execute code it writes into data pages),
# stays relocatable, and carries the fixed time stamp above.
function(velmire_program target)
  target_compile_options(${target} PRIVATE ${VELMIRE_PROGRAM_CXX_FLAGS})
  target_link_options(${target} PRIVATE ${VELMIRE_STATIC_LINK} -s)
  if("WINDOWS" IN_LIST ARGN)
    set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
  endif()
  if("LTO" IN_LIST ARGN AND CMAKE_SIZEOF_VOID_P EQUAL 4)
    # The code is made at the link: it takes the compiler's flags there too,
    # but one section for all the code and one for the data, not one each
    # padded to 4 bytes: LTO has already dropped what nothing uses.
    target_compile_options(${target} PRIVATE -flto)
    set(lto_flags ${VELMIRE_PROGRAM_CXX_FLAGS})
    list(REMOVE_ITEM lto_flags -ffunction-sections -fdata-sections)
    target_link_options(${target} PRIVATE -flto ${lto_flags})
  endif()
  if("OWN_START" IN_LIST ARGN)
    set(map ${CMAKE_CURRENT_BINARY_DIR}/${target}.map)
    target_link_libraries(${target} PRIVATE program_start)
    # No pseudo-relocations: nothing would apply them, so ld refuses what
    # needs one; it also keeps read-only data in .data, one section less.
    target_link_options(${target} PRIVATE -nostartfiles -Wl,-e,${VELMIRE_ENTRY_SYMBOL}
      -Wl,--disable-runtime-pseudo-reloc -Wl,--disable-nxcompat -Wl,--dynamicbase
      -Wl,-Map=${map})
    # ld takes the PE time stamp from SOURCE_DATE_EPOCH in its environment.
    set_target_properties(${target} PROPERTIES CXX_LINKER_LAUNCHER
      "${CMAKE_COMMAND};-E;env;SOURCE_DATE_EPOCH=${VELMIRE_SOURCE_DATE_EPOCH}")
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -DMAP=${map} -DPROGRAM=$<TARGET_FILE:${target}>
              -P ${CMAKE_SOURCE_DIR}/startup/check_program_start.cmake
      VERBATIM)
  endif()
endfunction()

# velmire_def_for_target(out def): the .def file "def" for this build. x86-64
# has one calling convention and no stdcall decoration, so there the decorated
# W95_Serve_Message lines become its plain name; the i686 build uses the file as it is.
function(velmire_def_for_target out def)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(${out} ${def} PARENT_SCOPE)
    return()
  endif()
  file(READ ${def} text)
  string(REGEX REPLACE "[_A-Za-z0-9@]*W95_Serve_Message@16[^\n]*" "W95_Serve_Message" text "${text}")
  get_filename_component(name ${def} NAME)
  set(generated ${CMAKE_CURRENT_BINARY_DIR}/x86_64-${name})
  file(CONFIGURE OUTPUT ${generated} CONTENT "${text}" @ONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
  set(${out} ${generated} PARENT_SCOPE)
endfunction()
