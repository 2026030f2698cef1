#pragma once

// Starting a program as a user's double click would and waiting until it is ready, shared by the
// benchmarks that time programs from outside.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// A started program: its process and main window, and how long after the start its window
// showed, it first went idle and it had finished what it leaves for that first idle pass.
struct StartedProgram {
  PROCESS_INFORMATION process{};
  HWND window = nullptr;
  // When it was started, on the performance counter (ms).
  double launchedMs = 0;
  double visibleMs = -1;
  double idleMs = -1;
  double settledMs = -1;
};

// Milliseconds on the performance counter.
double Now();

std::wstring FolderOf(const std::wstring& path);
std::wstring NameOf(const std::wstring& path);
std::wstring FullPath(const std::wstring& path);
SIZE_T FileSize(const std::wstring& path);
double Median(std::vector<double> values);
double Ratio(double value, double baseline);

// Starts `exe` in its own folder with `arguments` after its quoted path, and waits for its main
// window to show and for the program to settle. Nothing when it shows no window or never goes
// idle in time; the process is then ended.
std::optional<StartedProgram> StartProgram(const std::wstring& exe, const std::wstring& arguments = {});

// Closes the program as its close box would; FALSE when it did not end in time, and it was ended.
bool CloseProgram(StartedProgram& program);

// Ends the program at once, for one holding changes that a close would ask about.
void EndProgram(StartedProgram& program);
