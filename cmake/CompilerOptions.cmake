# Warnings, sanitizers and Windows link settings shared by every target.

add_library(zeltran_options INTERFACE)
target_compile_features(zeltran_options INTERFACE cxx_std_20)
target_compile_options(zeltran_options INTERFACE -Wall -Wextra)
if(ZELTRAN_WERROR)
    target_compile_options(zeltran_options INTERFACE -Werror)
endif()

if(ZELTRAN_SANITIZE)
    target_compile_options(zeltran_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(zeltran_options INTERFACE -fsanitize=address,undefined)
endif()

if(WIN32)
    # No MinGW runtime DLL has to travel with the programs.
    target_link_options(zeltran_options INTERFACE -static -static-libgcc -static-libstdc++)
    target_compile_definitions(zeltran_options INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX
        _WIN32_WINNT=0x0601 WINVER=0x0601)
endif()
