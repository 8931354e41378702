// Resource ids of zeltran.exe, shared by zeltran.rc and the program.
#pragma once

// The program icon: a 32 x 32 image with 256 colours, and the same picture
// at 48 x 48 and 64 x 64 for denser screens.
#define IDI_PROGRAM 102
