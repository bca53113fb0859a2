# Runs the validator's one check on a plug-in with a fault put in on purpose and passes
# only when that check fails, names itself and gives the verdict expected (a pattern):
#   cmake -DVALIDATOR=... -DLIBRARY=... -DCHECK=... -DVERDICT=... -DTIMEOUT=... [-DOPTIONS=...] -P ExpectCaught.cmake
# OPTIONS: more of the validator's options, separated by semicolons.
execute_process(COMMAND ${VALIDATOR} --only ${CHECK} --timeout ${TIMEOUT} ${OPTIONS} ${LIBRARY}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
message("${output}")
if(NOT result EQUAL 1)
  message(FATAL_ERROR "the validator answered ${result}, not 1: the fault went unnoticed or the run broke")
endif()
if(NOT output MATCHES "FAIL +L[0-9]+ +${CHECK} [^\n]*${VERDICT}")
  message(FATAL_ERROR "${CHECK} did not report the fault as '${VERDICT}'")
endif()
if(NOT output MATCHES "summary:")
  message(FATAL_ERROR "the validator did not finish its run")
endif()
