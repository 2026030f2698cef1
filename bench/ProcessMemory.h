#pragma once

#include <windows.h>

#include <string>

struct ProcessFigures {
  SIZE_T peakWorkingSet = 0;
  SIZE_T privateBytes = 0;
  // Processor time used so far; unlike the time on the clock it hardly depends on what else
  // the machine is running.
  double processorMs = 0;
};

// What `process`, started from the executable `exe`, holds and has used now. Wine answers 0
// for private bytes and counts processor time in whole scheduler ticks; there both come from
// the Linux process behind the Windows one (its resident private memory and the time the
// scheduler ran its threads), and so does the peak working set when Wine has none either.
ProcessFigures ReadProcessFigures(HANDLE process, const std::wstring& exe);

// The full path of this program's executable.
std::wstring OwnExecutable();
