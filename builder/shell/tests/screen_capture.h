// Screenshots for a person to look at: the driver's desktop saved as PNG.
#pragma once

#include <string>

// Saves the whole screen of the calling thread's desktop to `pngPath`;
// false when it cannot.
bool SaveScreenshot(const std::string& pngPath);
