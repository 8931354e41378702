// Resource ids of zeltran.exe, shared by zeltran.rc and the program.
#pragma once

// The program icon: one 32 x 32 image with 256 colours.
#define IDI_PROGRAM 102
