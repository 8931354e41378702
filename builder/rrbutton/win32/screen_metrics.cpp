#include "builder/rrbutton/win32/screen_metrics.h"

#include "builder/rrbutton/button_colors.h"
#include "common/win32/gdi_handles.h"

int WindowDpi(HWND window) {
    const WindowDC dc(window);
    const int dpi = dc.get() != nullptr ? GetDeviceCaps(dc.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : kBaseDpi;
}

int ScaledForWindow(HWND window, int pixels) {
    return ScaledPixels(pixels, WindowDpi(window));
}

bool HighContrastOn() {
    HIGHCONTRASTA contrast{};
    contrast.cbSize = sizeof(contrast);
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) != FALSE &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}
