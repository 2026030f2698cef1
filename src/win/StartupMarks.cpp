#include "win/StartupMarks.h"

#include <windows.h>

namespace {

constexpr int kMostMarks = 256;
constexpr int kLongestLine = 1024;
constexpr wchar_t kMarksFileVariable[] = L"SONARWICK_STARTUP_MARKS";

struct Mark {
  const wchar_t* piece;
  LONGLONG counter;
};

Mark marks[kMostMarks];
// Marks are taken on the main thread only, but a counter that says so costs nothing.
LONG markCount = 0;

// Plain buffers and the system's own formatting only: the bare window the benchmark compares against marks
// its start with this code too, and must stay as small as a bare window is.
bool WriteLine(HANDLE file, const wchar_t* name, LONGLONG value) {
  char line[kLongestLine];
  // wsprintfA's %S takes a wide string, and its buffer may hold 1024 characters.
  const int length = wsprintfA(line, "%S\t%I64d\n", name, value);
  if (length <= 0 || length >= kLongestLine) return false;
  DWORD written = 0;
  return WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr) && written == static_cast<DWORD>(length);
}

}  // namespace

void MarkStartup(const wchar_t* piece) {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  const LONG index = InterlockedIncrement(&markCount) - 1;
  if (index >= kMostMarks) return;
  marks[index] = {piece, counter.QuadPart};
}

int StartupMarkCount() { return markCount < kMostMarks ? static_cast<int>(markCount) : kMostMarks; }

const wchar_t* StartupMarkName(int index) {
  return index >= 0 && index < StartupMarkCount() ? marks[index].piece : nullptr;
}

bool WriteStartupMarks() {
  wchar_t path[MAX_PATH]{};
  const DWORD length = GetEnvironmentVariableW(kMarksFileVariable, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return true;
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  bool wrote = WriteLine(file, L"frequency", frequency.QuadPart);
  for (int index = 0; wrote && index < StartupMarkCount(); ++index)
    wrote = WriteLine(file, marks[index].piece, marks[index].counter);
  CloseHandle(file);
  return wrote;
}
