# reindex as a user runs it, on a copy of a base with a damaged index: the
# index written anew, the old one kept as .IXB, check then finding nothing;
# and a .DAT with text in front of its first record refused, files as they
# were. Variables: TOOL, EMULATOR (may be empty), BASES (the source bases),
# WORK (a folder to use), PREFIX (what the tool needs in front of a path).
function(run expected_status expected_output)
    execute_process(COMMAND ${EMULATOR} "${TOOL}" ${ARGN}
        OUTPUT_VARIABLE output RESULT_VARIABLE status)
    if(NOT status STREQUAL "${expected_status}" OR NOT output STREQUAL "${expected_output}")
        message(FATAL_ERROR "${ARGN}: exit status ${status}, output '${output}'")
    endif()
endfunction()

function(expect_same_file actual expected)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${actual}" "${expected}"
        RESULT_VARIABLE differs)
    if(differs)
        message(FATAL_ERROR "${actual} differs from ${expected}")
    endif()
endfunction()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(COPY "${BASES}/FORUM1.DAT" "${BASES}/FORUM1.IDX" DESTINATION "${WORK}")

run(0 "index written, records 2\n" reindex "${PREFIX}${WORK}/FORUM1.DAT")
expect_same_file("${WORK}/FORUM1.IDX" "${BASES}/expected_FORUM1.IDX")
expect_same_file("${WORK}/FORUM1.IXB" "${BASES}/FORUM1.IDX")
run(0 "records 2, faults 0\n" check "${PREFIX}${WORK}/FORUM1.DAT")

file(READ "${BASES}/FORUM1.DAT" records)
file(WRITE "${WORK}/FORUM2.DAT" "stray\n${records}")
file(COPY_FILE "${BASES}/FORUM1.IDX" "${WORK}/FORUM2.IDX")
run(1 "offset 1: text that is not a record where one must begin; nothing changed\n"
    reindex "${PREFIX}${WORK}/FORUM2.DAT")
expect_same_file("${WORK}/FORUM2.IDX" "${BASES}/FORUM1.IDX")
if(EXISTS "${WORK}/FORUM2.IXB" OR EXISTS "${WORK}/FORUM2.rxI")
    message(FATAL_ERROR "a refused reindex wrote a file")
endif()
