# Runs kaviro-form on the sample dialog: compile, print, compile the printed
# text again (same bytes), and a damaged file must fail with exit code 1.
#   cmake -DTOOL=... -DSAMPLE=... -DWORK=... -P kaviro_form_round_trip.cmake
file(MAKE_DIRECTORY ${WORK})

function(run expected_code)
  execute_process(COMMAND ${TOOL} ${ARGN} RESULT_VARIABLE code ERROR_VARIABLE error)
  if(NOT code EQUAL expected_code)
    message(FATAL_ERROR "kaviro-form ${ARGN}: exit code ${code}, expected ${expected_code}: ${error}")
  endif()
endfunction()

run(0 compile ${SAMPLE} ${WORK}/first.dfm)
run(0 print ${WORK}/first.dfm ${WORK}/printed.txt)
run(0 compile ${WORK}/printed.txt ${WORK}/second.dfm)
file(SHA256 ${WORK}/first.dfm first)
file(SHA256 ${WORK}/second.dfm second)
if(NOT first STREQUAL second)
  message(FATAL_ERROR "printed text compiles to a different file")
endif()
run(1 print ${SAMPLE})
run(1 compile ${WORK}/missing.txt ${WORK}/missing.dfm)
run(2 compile ${SAMPLE})
