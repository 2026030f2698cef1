#pragma once

#include <windows.h>

// The simple beep that tells the user a typed value or a command was refused.
inline void RefusalBeep() { MessageBeep(0xFFFFFFFF); }
