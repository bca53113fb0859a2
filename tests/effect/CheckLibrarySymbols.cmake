# Fails unless LIBRARY exports exactly VSTPluginMain and main and has no undefined symbol
# outside libc, libm, libpthread and libdl (with the C library's own dynamic loader, which
# provides its thread-local storage), and libX11 for the editor's window: libXext, for
# MIT-SHM, is loaded at run time where the system has it. No symbol may need a C library
# newer than NEWEST_GLIBC (the oldest long-term release the plug-in loads on), and the
# library must carry the hardening it is built with: a stack protector, read-only
# relocations resolved at load time and, where FORTIFIED is true, the checked functions.
execute_process(COMMAND nm -D --defined-only ${LIBRARY} OUTPUT_VARIABLE defined RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${defined}")
set(exported "")
foreach(line ${lines})
  if(line MATCHES "^[0-9a-f]+ ([A-Za-z]) (.+)$")
    set(kind ${CMAKE_MATCH_1})
    set(name ${CMAKE_MATCH_2})
    # Text and data symbols are what a host can reach; A marks the version nodes.
    if(NOT kind STREQUAL "A")
      list(APPEND exported ${name})
    endif()
  endif()
endforeach()
list(SORT exported)
if(NOT exported STREQUAL "VSTPluginMain;main")
  message(FATAL_ERROR "exported symbols: ${exported}")
endif()

execute_process(COMMAND nm -D --undefined-only ${LIBRARY} OUTPUT_VARIABLE undefined)
execute_process(COMMAND objdump -p ${LIBRARY} OUTPUT_VARIABLE headers)
string(REGEX MATCHALL "NEEDED[ ]+[^\n]+" needed "${headers}")
foreach(entry ${needed})
  if(NOT entry MATCHES "NEEDED[ ]+(libc|libm|libpthread|libdl|libX11)\\.so|NEEDED[ ]+ld-linux")
    message(FATAL_ERROR "unexpected dependency: ${entry}")
  endif()
endforeach()
string(REGEX MATCHALL "[^\n]+" lines "${undefined}")
foreach(line ${lines})
  if(line MATCHES " U XShm")
    message(FATAL_ERROR "MIT-SHM linked directly rather than loaded at run time: ${line}")
  endif()
  # Xlib names every function X...; they carry no version.
  if(NOT line MATCHES "@GLIBC_" AND NOT line MATCHES " w " AND NOT line MATCHES " U X[A-Za-z0-9]+$")
    message(FATAL_ERROR "undefined symbol outside the C library: ${line}")
  endif()
endforeach()

# Versions compare number by number: 2.4 is older than 2.35.
string(REGEX MATCHALL "GLIBC_[0-9.]+" versions "${undefined}")
list(REMOVE_DUPLICATES versions)
foreach(version ${versions})
  string(REPLACE "GLIBC_" "" number ${version})
  if(number VERSION_GREATER NEWEST_GLIBC)
    string(REGEX MATCHALL "[^\n]*@${version}[^\n]*" users "${undefined}")
    message(FATAL_ERROR "needs a C library newer than ${NEWEST_GLIBC}: ${users}")
  endif()
endforeach()

if(NOT undefined MATCHES "__stack_chk_fail@")
  message(FATAL_ERROR "built without a stack protector")
endif()
if(FORTIFIED AND NOT undefined MATCHES "__[a-z]+_chk@")
  message(FATAL_ERROR "built without the checked string and formatting functions")
endif()
# BIND_NOW is bit 8 of the dynamic section's FLAGS.
set(bindNow 0)
if(headers MATCHES "\n[ ]+FLAGS[ ]+(0x[0-9a-f]+)")
  math(EXPR bindNow "${CMAKE_MATCH_1} & 8")
endif()
if(NOT headers MATCHES "RELRO" OR bindNow EQUAL 0)
  message(FATAL_ERROR "relocations are not read-only and resolved at load time")
endif()
message(STATUS "exports: ${exported}; dependencies: ${needed}; C library versions: ${versions}")
