// Program entry: common controls, the about text, the title, and the main
// window run modally until it ends.
#include "builder/resources/zeltran_version.h"
#include "builder/shell/dialog_layer.h"
#include "builder/shell/main_window.h"
#include "builder/shell/main_window_state.h"

#include <commctrl.h>

namespace {

constexpr DWORD kCommonControlClasses = ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_INTERNET_CLASSES;
static_assert(kCommonControlClasses == 0x9FF, "Win95, date and Internet classes");
constexpr char kWindowTitle[] = "ZELTRAN v. " ZELTRAN_PRODUCT_VERSION;

// By name, although the program links the library: a library without the
// extended call still gets its classes registered the old way.
void InitialiseCommonControls() {
    const HMODULE library = LoadLibraryA("COMCTL32.DLL");
    if (library == nullptr) {
        return;
    }
    using InitExProc = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto initEx = reinterpret_cast<InitExProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "InitCommonControlsEx")));
    if (initEx != nullptr) {
        const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), kCommonControlClasses};
        initEx(&classes);
    } else {
        InitCommonControls();
    }
    FreeLibrary(library);
}

// The usage note of the about box; empty when the resource cannot be read.
std::string LoadAboutText() {
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC resource = FindResourceA(module, "TXTABOUT", RT_RCDATA);
    const HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        return {};
    }
    return std::string(static_cast<const char*>(data), SizeofResource(module, resource));
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    InitialiseCommonControls();
    // Lives as long as the window's run, not just as long as the window: a
    // command still under way when the window is destroyed (a picker or the
    // about box open under a close request) may still touch it.
    MainWindowState state;
    state.aboutText = LoadAboutText();
    state.windowTitle = kWindowTitle;
    LayerDialog layer{MainDialogProc};
    if (CreateMainWindow(layer, state) != nullptr) {
        RunLayerDialog(layer);
    }
    return 0;
}
