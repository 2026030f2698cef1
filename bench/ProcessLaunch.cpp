#include "ProcessLaunch.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 10000;

struct FindWindowRequest {
  DWORD processId;
  HWND found;
};

// The process's main window, shown or not yet: a top-level window with a caption. Looking up
// windows keeps the window server busy while the program starts, so this is done only until it
// exists; after that one question a time (is it visible yet) does.
HWND MainWindowOf(DWORD processId) {
  FindWindowRequest request{processId, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM lParam) -> BOOL {
        auto* request = reinterpret_cast<FindWindowRequest*>(lParam);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner != request->processId || GetWindow(hwnd, GW_OWNER) != nullptr ||
            (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CAPTION) != WS_CAPTION)
          return TRUE;
        request->found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&request));
  return request.found;
}

// Waits in the system, not in a loop, for the process's first idle moment.
DWORD WINAPI WaitForIdle(void* context) {
  auto* process = static_cast<PROCESS_INFORMATION*>(context);
  return WaitForInputIdle(process->hProcess, kStartTimeoutMs);
}

void ReleaseHandles(StartedProgram& program) {
  CloseHandle(program.process.hThread);
  CloseHandle(program.process.hProcess);
  program.process = {};
}

// Watches the started process until its window is visible and it has been idle once.
void WaitUntilReady(StartedProgram& program, double start) {
  HANDLE idleWaiter = CreateThread(nullptr, 0, WaitForIdle, &program.process, 0, nullptr);
  while ((program.idleMs < 0 || program.visibleMs < 0) && Now() - start < kStartTimeoutMs) {
    // The wait doubles as the pause between looks at the window.
    if (program.idleMs < 0 && WaitForSingleObject(idleWaiter, 1) == WAIT_OBJECT_0) {
      DWORD waited = WAIT_FAILED;
      GetExitCodeThread(idleWaiter, &waited);
      if (waited != 0) break;  // not idle within the time allowed
      program.idleMs = Now() - start;
    } else if (program.idleMs >= 0) {
      Sleep(1);
    }
    if (program.window == nullptr) program.window = MainWindowOf(program.process.dwProcessId);
    if (program.window != nullptr && program.visibleMs < 0 && IsWindowVisible(program.window))
      program.visibleMs = Now() - start;
    if (WaitForSingleObject(program.process.hProcess, 0) == WAIT_OBJECT_0) break;
  }
  WaitForSingleObject(idleWaiter, kExitTimeoutMs);
  CloseHandle(idleWaiter);
}

}  // namespace

double Now() {
  static const LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\') + 1); }
std::wstring NameOf(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }

std::wstring FullPath(const std::wstring& path) {
  wchar_t full[MAX_PATH]{};
  GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
  return full;
}

SIZE_T FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return data.nFileSizeLow;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double Ratio(double value, double baseline) { return baseline > 0 ? value / baseline : 0; }

std::optional<StartedProgram> StartProgram(const std::wstring& exe, const std::wstring& arguments) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  StartedProgram program;
  std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  std::wstring folder = FolderOf(exe);
  const double start = Now();
  program.launchedMs = start;
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &program.process)) {
    std::fwprintf(stderr, L"cannot start %ls (error %lu)\n", exe.c_str(), GetLastError());
    return std::nullopt;
  }
  WaitUntilReady(program, start);
  if (program.visibleMs < 0 || program.idleMs < 0) {
    std::fwprintf(stderr, L"%ls showed no window or never went idle\n", exe.c_str());
    EndProgram(program);
    return std::nullopt;
  }
  // Answered only after the work the program leaves for its first idle pass.
  DWORD_PTR answer = 0;
  SendMessageTimeoutW(program.window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kStartTimeoutMs, &answer);
  program.settledMs = Now() - start;
  return program;
}

bool CloseProgram(StartedProgram& program) {
  PostMessageW(program.window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(program.process.hProcess, kExitTimeoutMs) != WAIT_OBJECT_0) {
    std::fwprintf(stderr, L"a program did not close; ending it\n");
    EndProgram(program);
    return false;
  }
  ReleaseHandles(program);
  return true;
}

void EndProgram(StartedProgram& program) {
  TerminateProcess(program.process.hProcess, 0);
  WaitForSingleObject(program.process.hProcess, kExitTimeoutMs);
  ReleaseHandles(program);
}
