# Runs veldra-cli regions with ARGS (a ;-list) and checks the exit status RC and that
# the output (stdout, then stderr) matches the regular expression EXPECT.
# Usage: cmake -DCLI=... -DRC=... -DEXPECT=... -DARGS=... -P regions_check.cmake
execute_process(COMMAND ${CLI} regions ${ARGS} OUTPUT_VARIABLE out ERROR_VARIABLE err
                RESULT_VARIABLE rc)
if(NOT rc STREQUAL RC)
    message(FATAL_ERROR "exit status ${rc}, expected ${RC}\nstdout: ${out}\nstderr: ${err}")
endif()
string(REPLACE "\\n" "\n" expect "${EXPECT}")
if(NOT "${out}${err}" MATCHES "${expect}")
    message(FATAL_ERROR "output does not match '${expect}'\nstdout: ${out}\nstderr: ${err}")
endif()
if(RC STREQUAL "0" AND NOT err STREQUAL "")
    message(FATAL_ERROR "unexpected stderr: ${err}")
endif()
