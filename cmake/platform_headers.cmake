# Fails, naming each file and header, when a portable source file includes a
# platform header.
#
# A file is Windows-only under a win32/ folder and in the Win32 program's own
# folder builder/shell/, POSIX-only under a posix/ folder, and portable
# everywhere else. A portable file includes neither a Windows header nor a
# POSIX one, not even under #ifdef: what differs between the platforms lives
# in the platform folders, behind a portable header.
#
#   cmake -DSOURCE_DIR=<tree> -P platform_headers.cmake
#
# The build trees (build/) and hidden folders are not looked at.

cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<tree> -P platform_headers.cmake")
endif()

set(windows_folders builder/shell)

# The Windows SDK's headers (every win*.h, and the rest below) and the
# Windows C runtime's own, which other C libraries lack.
set(windows_headers
    wtypes.h wtypesbase.h minwindef.h oleauto.h ole2.h olectl.h oaidl.h objbase.h objidl.h
    unknwn.h combaseapi.h commctrl.h commdlg.h shellapi.h shlobj.h shlwapi.h shobjidl.h
    uxtheme.h mmsystem.h dwmapi.h psapi.h tlhelp32.h rpc.h fileapi.h handleapi.h synchapi.h
    processthreadsapi.h libloaderapi.h memoryapi.h errhandlingapi.h sysinfoapi.h tchar.h
    io.h direct.h conio.h process.h share.h crtdbg.h mbstring.h)
set(windows_pattern "^win[a-z0-9_]*\\.h$")
# The POSIX system interfaces, which the C and C++ standards lack.
set(posix_headers
    unistd.h fcntl.h dirent.h pthread.h poll.h termios.h spawn.h dlfcn.h sched.h semaphore.h
    pwd.h grp.h libgen.h fnmatch.h glob.h syslog.h netdb.h strings.h)
set(posix_pattern "^(sys|linux|netinet|arpa)/")

# Links are not followed (policy CMP0009, new since the version above): a
# Wine prefix links to the whole disk.
set(sources)
file(GLOB entries RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*")
foreach(entry IN LISTS entries)
    if(entry STREQUAL "build" OR entry MATCHES "^\\.")
        continue()
    elseif(IS_DIRECTORY "${SOURCE_DIR}/${entry}")
        file(GLOB_RECURSE found RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${entry}/*")
        list(APPEND sources ${found})
    else()
        list(APPEND sources "${entry}")
    endif()
endforeach()
list(SORT sources)

set(refused 0)
foreach(source IN LISTS sources)
    if(source MATCHES "/\\." OR NOT source MATCHES "\\.(h|hpp|c|cc|cpp|cxx|inl)(\\.in)?$")
        continue()
    endif()
    if(source MATCHES "(^|/)win32/" OR source MATCHES "(^|/)posix/")
        continue()
    endif()
    set(windows_only FALSE)
    foreach(folder IN LISTS windows_folders)
        if(source MATCHES "^${folder}/")
            set(windows_only TRUE)
        endif()
    endforeach()
    if(windows_only)
        continue()
    endif()

    file(READ "${SOURCE_DIR}/${source}" text)
    string(REGEX MATCHALL "\n[ \t]*#[ \t]*include[ \t]*[<\"][^>\"\n]+[>\"]" includes "\n${text}")
    foreach(include IN LISTS includes)
        string(REGEX REPLACE ".*[<\"]([^>\"]+)[>\"]$" "\\1" header "${include}")
        string(TOLOWER "${header}" name)
        set(kind "")
        if(name IN_LIST windows_headers OR name MATCHES "${windows_pattern}")
            set(kind "a Windows header; Windows code lives under a win32/ folder")
        elseif(name IN_LIST posix_headers OR name MATCHES "${posix_pattern}")
            set(kind "a POSIX header; POSIX code lives under a posix/ folder")
        endif()
        if(kind)
            message("${source}: includes <${header}>, ${kind}")
            math(EXPR refused "${refused} + 1")
        endif()
    endforeach()
endforeach()

if(refused GREATER 0)
    message(FATAL_ERROR "${refused} platform header include(s) in portable files")
endif()
