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
