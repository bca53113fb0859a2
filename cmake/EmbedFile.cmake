# embed_file(<target> <input file> <symbol>) compiles the bytes of a file into
# <target> as `extern const unsigned char <symbol>[]` with `<symbol>Size`, in
# namespace tolvan::embedded. It runs at build time with CMake alone, so it
# works the same for native and cross builds.
set(TOLVAN_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/EmbedFileScript.cmake)

function(embed_file target input symbol)
  get_filename_component(input_abs ${input} ABSOLUTE)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/embedded/${symbol}.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input_abs} -DOUTPUT=${output} -DSYMBOL=${symbol} -P ${TOLVAN_EMBED_SCRIPT}
    DEPENDS ${input_abs} ${TOLVAN_EMBED_SCRIPT}
    COMMENT "Embedding ${input}"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
endfunction()
