# TOLVAN_SANITIZE applies one sanitizer set to every target, so that the
# plug-in library loaded by the host-level tests is instrumented as well.
if(TOLVAN_SANITIZE)
  add_compile_options(-fsanitize=${TOLVAN_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${TOLVAN_SANITIZE})
endif()
# The fuzzer learns from the coverage of the plug-in's own code, so all of it is instrumented.
if(TOLVAN_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
