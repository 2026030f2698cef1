#include "app/StartupMarks.h"

#include <windows.h>

#include <cwchar>
#include <string>

namespace {

constexpr int kMostMarks = 64;
constexpr wchar_t kMarksFileVariable[] = L"SONARWICK_STARTUP_MARKS";

struct Mark {
  const wchar_t* piece;
  LONGLONG counter;
};

Mark marks[kMostMarks];
// Marks are taken on the main thread only, but a counter that says so costs nothing.
LONG markCount = 0;

std::string Utf8Of(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                      nullptr);
  return bytes;
}

std::wstring MarksText() {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  std::wstring text = L"frequency\t" + std::to_wstring(frequency.QuadPart) + L"\n";
  for (int index = 0; index < StartupMarkCount(); ++index)
    text += std::wstring(marks[index].piece) + L"\t" + std::to_wstring(marks[index].counter) + L"\n";
  return text;
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
  const std::string bytes = Utf8Of(MarksText());
  DWORD written = 0;
  const BOOL wrote = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return wrote && written == bytes.size();
}
