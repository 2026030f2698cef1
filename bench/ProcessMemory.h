#pragma once

#include <windows.h>

#include <string>

struct MemoryFigures {
  SIZE_T peakWorkingSet = 0;
  SIZE_T privateBytes = 0;
};

// What `process`, started from the executable `exe`, holds now. Wine answers 0 for private
// bytes; there they are the resident private memory of the Linux process behind the Windows
// one, and the peak working set its peak resident size when Wine has none either.
MemoryFigures ReadMemory(HANDLE process, const std::wstring& exe);

// The full path of this program's executable.
std::wstring OwnExecutable();
