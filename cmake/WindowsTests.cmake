# Windows test programs run under Wine (the toolchain's emulator). All of a
# build tree's Wine tests share one prefix, one wineserver and one Xvfb
# display, set up by the fixture below and torn down after the last test.

set(ZELTRAN_WINE_STATE "${CMAKE_BINARY_DIR}/wine")
list(GET CMAKE_CROSSCOMPILING_EMULATOR 1 ZELTRAN_WINE)

add_test(NAME wine_session_start
         COMMAND "${CMAKE_SOURCE_DIR}/cmake/wine-session" start "${ZELTRAN_WINE_STATE}" "${ZELTRAN_WINE}")
set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 180 LABELS wine)
add_test(NAME wine_session_stop
         COMMAND "${CMAKE_SOURCE_DIR}/cmake/wine-session" stop "${ZELTRAN_WINE_STATE}" "${ZELTRAN_WINE}")
set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine LABELS wine)

# zeltran_add_wine_test(NAME TARGET [TIMEOUT seconds] [ARGS ...])
# One ctest test per program: a Wine launch costs about a second.
function(zeltran_add_wine_test name target)
    cmake_parse_arguments(PARSE_ARGV 2 arg "" "TIMEOUT" "ARGS")
    if(NOT arg_TIMEOUT)
        set(arg_TIMEOUT 120)
    endif()
    add_test(NAME ${name} COMMAND ${target} ${arg_ARGS})
    set_tests_properties(${name} PROPERTIES
        FIXTURES_REQUIRED wine
        ENVIRONMENT "ZELTRAN_WINE_STATE=${ZELTRAN_WINE_STATE}"
        TIMEOUT ${arg_TIMEOUT}
        LABELS wine)
endfunction()
