#include "cli/ConsoleOutput.h"

#include <vector>

namespace {

bool IsUsable(HANDLE handle) {
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != FALSE;
}

}  // namespace

ConsoleOutput::ConsoleOutput() {
  out_ = GetStdHandle(STD_OUTPUT_HANDLE);
  error_ = GetStdHandle(STD_ERROR_HANDLE);
  if (IsUsable(out_) && IsUsable(error_)) return;
  // Only where a handle is missing: attaching replaces the standard handles with the console's.
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  const HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
  if (!IsUsable(out_)) out_ = console;
  if (!IsUsable(error_)) error_ = console;
}

void ConsoleOutput::Write(HANDLE handle, std::wstring_view text) {
  if (!IsUsable(handle) || text.empty()) return;
  DWORD written = 0;
  if (IsConsole(handle)) {
    WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  if (size <= 0) return;
  std::vector<char> bytes(static_cast<std::size_t>(size));
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}
