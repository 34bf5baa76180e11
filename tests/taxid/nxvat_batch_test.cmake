# Runs "nxvat check --batch" and "nxvat complete --batch" as processes over a file with LF
# and CRLF lines and a line without a tab, and compares what they print.
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/in.txt "ES\t12345678Z\r\nES\t12345678T\nno tab\r\nat\tU1358562?\n-\tU1358562?")

function(run_batch mode expected_out expected_rc)
  execute_process(COMMAND ${EMULATOR} ${NXVAT} ${mode} --batch
                  INPUT_FILE ${WORK}/in.txt
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
  if(NOT out STREQUAL expected_out)
    message(FATAL_ERROR "${mode} --batch printed [${out}], expected [${expected_out}]")
  endif()
  if(NOT rc EQUAL expected_rc)
    message(FATAL_ERROR "${mode} --batch exited ${rc}, expected ${expected_rc}")
  endif()
  if(NOT err MATCHES "line 3")
    message(FATAL_ERROR "${mode} --batch did not name line 3: [${err}]")
  endif()
endfunction()

run_batch(check "1\n0\n\n0\n1\n" 1)
run_batch(complete "\n\n\nU13585627\nATU13585627\n" 1)
