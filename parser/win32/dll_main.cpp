// The library's entry routine. The C runtime's own entry point runs first
// (static objects and the heap rely on it) and hands every loader
// notification to DllMain, which forwards it to LIBMAIN.
#include "parser/parvex_api.h"

#include <windows.h>

#include <cstdint>

extern "C" int32_t __stdcall LIBMAIN(HINSTANCE /*instance*/, DWORD reason, LPVOID /*reserved*/) {
    switch (reason) {
    case DLL_PROCESS_ATTACH: return 1;
    case DLL_PROCESS_DETACH: ReleaseParseState(); return 0;
    default:
        // Thread notifications release nothing: a thread ending elsewhere in
        // the process must not empty the tables between a parse and its reads.
        return 0;
    }
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    const int32_t result = LIBMAIN(instance, reason, reserved);
    // The loader reads only the process-attach answer; the others are 0.
    return reason == DLL_PROCESS_ATTACH ? result : TRUE;
}
