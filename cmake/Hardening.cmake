# The plug-in is built with the hardening Debian builds its packages with: a stack
# protector for functions with arrays or address-taken locals, the C library's checked
# variants of the string and formatting functions, and relocations made read-only once
# they are resolved, all of them at load time. The checked variants need an optimising
# build and would hide accesses from AddressSanitizer, so Debug and sanitizer builds do
# without them; Windows builds would need a separate support library for the first two.
#
# tolvan_harden(<targets>) hardens the targets whose code goes into the plug-in; the tests
# and benchmarks that link the same libraries run that same code.
function(tolvan_harden)
  if(WIN32)
    return()
  endif()
  foreach(target ${ARGN})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
      continue()
    endif()
    target_compile_options(${target} PRIVATE -fstack-protector-strong)
    if(NOT TOLVAN_SANITIZE)
      target_compile_options(${target} PRIVATE "$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE>"
                                               "$<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>")
    endif()
    if(type STREQUAL "SHARED_LIBRARY" OR type STREQUAL "MODULE_LIBRARY")
      target_link_options(${target} PRIVATE -Wl,-z,relro -Wl,-z,now)
    endif()
  endforeach()
endfunction()
