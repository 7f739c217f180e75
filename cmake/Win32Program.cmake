# Flags for everything cross-built for Win32: warning-free, small, and with the
# C++ runtime linked in statically so that an exe imports only system DLLs.
add_compile_options(-Wall -Wextra)
set(VELMIRE_PROGRAM_CXX_FLAGS -Os -fno-exceptions -fno-rtti -fno-threadsafe-statics
    -fno-asynchronous-unwind-tables -ffunction-sections -fdata-sections)
set(VELMIRE_STATIC_LINK -static -static-libgcc -static-libstdc++ -Wl,--gc-sections)

# velmire_program(target [WINDOWS]): a shipped program or library: -Os,
# no exceptions or RTTI, static runtime, stripped.
function(velmire_program target)
  target_compile_options(${target} PRIVATE ${VELMIRE_PROGRAM_CXX_FLAGS})
  target_link_options(${target} PRIVATE ${VELMIRE_STATIC_LINK} -s)
  if("WINDOWS" IN_LIST ARGN)
    set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
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
