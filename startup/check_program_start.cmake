# Checks a shipped program's link map (ld -Map) for what its own
# start-up code does not provide (startup/program_start.cpp): nothing may
# need static constructors or destructors, exit-time functions, thread-local
# storage or runtime pseudo-relocations, and the program must enter at
# Program_Start. On a finding the
# program is deleted, so that the next build links it again.
#   cmake -DMAP=file.map -DPROGRAM=file.exe -P check_program_start.cmake
file(STRINGS ${MAP} lines)
set(findings)
set(in_archive_members TRUE)
set(entry_defined FALSE)
foreach(line IN LISTS lines)
  if(line MATCHES "^(Discarded input sections|Memory Configuration)")
    set(in_archive_members FALSE)
  elseif(in_archive_members)
    # "  file (symbol)": the symbol that brought in an archive member. The map
    # shows C names without the 32-bit leading underscore.
    if(line MATCHES "\\((atexit|_onexit|__cxa_atexit|at_quick_exit|__dllonexit|_crt_atexit|__main|_tls_used|__emutls_get_address|_pei386_runtime_relocator)\\)$")
      list(APPEND findings "uses ${CMAKE_MATCH_1}")
    endif()
  elseif(line MATCHES "^ (\\.ctors|\\.dtors|\\.init_array|\\.fini_array|\\.CRT\\$X[A-Z]*|\\.tls|\\.rdata_runtime_pseudo_reloc)[^ ]*[ \t]+0x[0-9a-f]+[ \t]+(0x[0-9a-f]+)[ \t]+(.*)$")
    if(NOT CMAKE_MATCH_2 STREQUAL "0x0")
      list(APPEND findings "${CMAKE_MATCH_1} from ${CMAKE_MATCH_3}")
    endif()
  elseif(line MATCHES "^[ \t]+0x[0-9a-f]+[ \t]+Program_Start$")
    set(entry_defined TRUE)
  endif()
endforeach()
if(NOT entry_defined)
  list(APPEND findings "does not define Program_Start, its entry point")
endif()

if(findings)
  list(REMOVE_DUPLICATES findings)
  list(JOIN findings "\n  " text)
  file(REMOVE ${PROGRAM})
  message(FATAL_ERROR "${PROGRAM} relies on start-up code it does not have:\n  ${text}\n"
                      "(see startup/program_start.cpp)")
endif()
