# Runs zeltran-cli and checks its exit status and, byte for byte, its
# standard output. Variables: TOOL, EMULATOR (may be empty), ARGS (a list
# separated by "|"), EXIT, EXPECTED (a file), OUTPUT (where to keep stdout).
string(REPLACE "|" ";" arguments "${ARGS}")
execute_process(COMMAND ${EMULATOR} "${TOOL}" ${arguments}
    OUTPUT_FILE "${OUTPUT}"
    RESULT_VARIABLE status)
if(NOT status STREQUAL "${EXIT}")
    message(FATAL_ERROR "exit status ${status}, expected ${EXIT}")
endif()
if(EXPECTED)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUTPUT}" "${EXPECTED}" RESULT_VARIABLE differs)
    if(differs)
        file(READ "${OUTPUT}" actual HEX)
        file(READ "${EXPECTED}" wanted HEX)
        message(FATAL_ERROR "output differs:\n  got      ${actual}\n  expected ${wanted}")
    endif()
endif()
