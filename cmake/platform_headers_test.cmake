# Runs platform_headers.cmake over a small tree made in WORK_DIR: it must
# refuse exactly the platform headers of the portable files, and pass once
# they are gone.
#
#   cmake -DWORK_DIR=<scratch folder> -P platform_headers_test.cmake

cmake_minimum_required(VERSION 3.25)

set(tree "${WORK_DIR}/tree")
file(REMOVE_RECURSE "${tree}")

# file, its text, and whether the check refuses it
set(cases
    "parser/core.cpp|#include <windows.h>|refused"
    "parser/guarded.h|#ifdef _WIN32\n  #  include <Windows.h>\n#endif|refused"
    "cli/quoted.cpp|#include \"winbase.h\"|refused"
    "cli/runtime.cpp|#include <io.h>|refused"
    "builder/base/strings.cpp|#include <oleauto.h>|refused"
    "parser/tests/pipe_test.cpp|#include <string>\n#include <sys/stat.h>|refused"
    "builder/files/lister.cpp|#include <dirent.h>|refused"
    "builder/files/win32/file_system.cpp|#include <windows.h>|allowed"
    "builder/files/posix/file_system.cpp|#include <unistd.h>\n#include <sys/file.h>|allowed"
    "builder/files/tests/win32/helper.cpp|#include <windows.h>|allowed"
    "common/win32/handles.h|#include <windows.h>|allowed"
    "builder/shell/main_window.cpp|#include <commctrl.h>|allowed"
    "parser/own.cpp|#include \"parser/windows_of_text.h\"\n#include <string>\n// #include <windows.h> in a comment|allowed"
    "build/native/generated.cpp|#include <windows.h>|allowed"
    ".hidden/x.cpp|#include <windows.h>|allowed"
    "parser/notes.txt|#include <windows.h>|allowed")

set(expected)
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" fields "${case}")
    list(GET fields 0 path)
    list(GET fields 1 text)
    list(GET fields 2 verdict)
    file(WRITE "${tree}/${path}" "// ${path}\n${text}\n")
    if(verdict STREQUAL "refused")
        list(APPEND refused_files "${tree}/${path}")
        string(REGEX MATCHALL "[<\"][^>\"]+[>\"]" headers "${text}")
        foreach(header IN LISTS headers)
            string(REGEX REPLACE "^[<\"](.*)[>\"]$" "\\1" header "${header}")
            if(NOT header STREQUAL "string")
                list(APPEND expected "${path}: includes <${header}>")
            endif()
        endforeach()
    endif()
endforeach()
list(SORT expected)

set(check "${CMAKE_CURRENT_LIST_DIR}/platform_headers.cmake")
execute_process(COMMAND "${CMAKE_COMMAND}" -DSOURCE_DIR=${tree} -P "${check}"
                RESULT_VARIABLE failed ERROR_VARIABLE output)
string(REGEX MATCHALL "[^\n]+: includes <[^>]+>" found "${output}")
if(NOT failed OR NOT found STREQUAL expected)
    string(REPLACE ";" "\n  " expected "${expected}")
    message(FATAL_ERROR "the check refused (exit ${failed}):\n${output}\nexpected:\n  ${expected}")
endif()

file(REMOVE ${refused_files})
execute_process(COMMAND "${CMAKE_COMMAND}" -DSOURCE_DIR=${tree} -P "${check}"
                RESULT_VARIABLE failed ERROR_VARIABLE output)
if(failed)
    message(FATAL_ERROR "the check refused a tree without portable platform headers:\n${output}")
endif()
