// Starts the editor and a bare window program with the same libraries in turn, as a user's
// double click would, and prints how long each takes to show its window and to go idle, the
// medians and their ratio, and the processor time and memory each has used once settled.
//
//   startup_bench.exe [pairs] [editor.exe]
//
// The editor defaults to the release build (build\release\sonarwick.exe beside build\win),
// the bare program is bare_window.exe beside this benchmark. Under Wine the private bytes are
// read from the Linux process behind the Windows one, since Wine answers 0 for them.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "ProcessMemory.h"

namespace {

constexpr int kDefaultPairs = 21;
constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 10000;

struct Launch {
  double idleMs = 0;
  double visibleMs = 0;
  SIZE_T peakWorkingSet = 0;
  SIZE_T privateBytes = 0;
  double processorMs = 0;
};

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

// Starts `exe`, waits for its window and its first idle moment, lets it finish what it does
// when idle, reads its memory and closes it as its close box would.
std::optional<Launch> Run(const std::wstring& exe) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  std::wstring commandLine = L"\"" + exe + L"\"";
  std::wstring folder = FolderOf(exe);
  const double start = Now();
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &process)) {
    std::fwprintf(stderr, L"cannot start %ls (error %lu)\n", exe.c_str(), GetLastError());
    return std::nullopt;
  }
  Launch launch;
  launch.idleMs = launch.visibleMs = -1;
  HANDLE idleWaiter = CreateThread(nullptr, 0, WaitForIdle, &process, 0, nullptr);
  HWND window = nullptr;
  while ((launch.idleMs < 0 || launch.visibleMs < 0) && Now() - start < kStartTimeoutMs) {
    // The wait doubles as the pause between looks at the window.
    if (launch.idleMs < 0 && WaitForSingleObject(idleWaiter, 1) == WAIT_OBJECT_0) {
      DWORD waited = WAIT_FAILED;
      GetExitCodeThread(idleWaiter, &waited);
      if (waited != 0) break;  // not idle within the time allowed
      launch.idleMs = Now() - start;
    } else if (launch.idleMs >= 0) {
      Sleep(1);
    }
    if (window == nullptr) window = MainWindowOf(process.dwProcessId);
    if (window != nullptr && launch.visibleMs < 0 && IsWindowVisible(window))
      launch.visibleMs = Now() - start;
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
  }
  WaitForSingleObject(idleWaiter, kExitTimeoutMs);
  CloseHandle(idleWaiter);
  std::optional<Launch> result;
  if (launch.visibleMs >= 0 && launch.idleMs >= 0) {
    // Answered only after the work the program leaves for its first idle pass.
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kStartTimeoutMs, &answer);
    const ProcessFigures figures = ReadProcessFigures(process.hProcess, exe);
    launch.peakWorkingSet = figures.peakWorkingSet;
    launch.privateBytes = figures.privateBytes;
    launch.processorMs = figures.processorMs;
    result = launch;
    PostMessageW(window, WM_CLOSE, 0, 0);
  } else {
    std::fwprintf(stderr, L"%ls showed no window or never went idle\n", exe.c_str());
  }
  if (WaitForSingleObject(process.hProcess, kExitTimeoutMs) != WAIT_OBJECT_0) {
    std::fwprintf(stderr, L"%ls did not close; ending it\n", exe.c_str());
    TerminateProcess(process.hProcess, 0);
    result.reset();
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return result;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct Series {
  std::vector<double> idle, visible, processor, peakWorkingSet, privateBytes;
  void Add(const Launch& launch) {
    idle.push_back(launch.idleMs);
    visible.push_back(launch.visibleMs);
    processor.push_back(launch.processorMs);
    peakWorkingSet.push_back(static_cast<double>(launch.peakWorkingSet));
    privateBytes.push_back(static_cast<double>(launch.privateBytes));
  }
};

struct Medians {
  double idle, visible, processor, peakWorkingSet, privateBytes;
  explicit Medians(const Series& series)
      : idle(Median(series.idle)),
        visible(Median(series.visible)),
        processor(Median(series.processor)),
        peakWorkingSet(Median(series.peakWorkingSet)),
        privateBytes(Median(series.privateBytes)) {}
};

constexpr double kMebibyte = 1024.0 * 1024.0;

void PrintMedians(const std::wstring& name, const Medians& medians) {
  std::wprintf(L"%-16ls %8.1f ms %10.1f ms %12.1f ms %10.1f MiB %10.1f MiB\n", name.c_str(), medians.idle,
               medians.visible, medians.processor, medians.peakWorkingSet / kMebibyte,
               medians.privateBytes / kMebibyte);
}

double Ratio(double value, double baseline) { return baseline > 0 ? value / baseline : 0; }

void PrintRatios(const Medians& editor, const Medians& bare) {
  std::wprintf(L"%-16ls %8.2f x  %10.2f x  %12.2f x  %10.2f x     %10.2f x\n", L"ratio",
               Ratio(editor.idle, bare.idle), Ratio(editor.visible, bare.visible),
               Ratio(editor.processor, bare.processor), Ratio(editor.peakWorkingSet, bare.peakWorkingSet),
               Ratio(editor.privateBytes, bare.privateBytes));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int pairs = argc > 1 ? _wtoi(argv[1]) : kDefaultPairs;
  if (pairs < 1) pairs = kDefaultPairs;
  const std::wstring here = FolderOf(OwnExecutable());
  const std::wstring editor = FullPath(argc > 2 ? argv[2] : here + L"..\\..\\release\\sonarwick.exe");
  const std::wstring bare = here + L"bare_window.exe";
  std::wprintf(L"editor:   %ls (%zu KB)\nbaseline: %ls (%zu KB)\n", editor.c_str(), FileSize(editor) / 1024,
               bare.c_str(), FileSize(bare) / 1024);

  // One unmeasured start each, so that both run from a warm file cache.
  if (!Run(editor) || !Run(bare)) return 1;
  Series editorRuns, bareRuns;
  std::wprintf(L"\npair   editor idle / visible      bare idle / visible\n");
  for (int pair = 0; pair < pairs; ++pair) {
    // Alternating which goes first spreads any drift of the machine over both.
    std::optional<Launch> first = Run(pair % 2 ? bare : editor);
    std::optional<Launch> second = Run(pair % 2 ? editor : bare);
    if (!first || !second) return 1;
    const Launch& editorLaunch = pair % 2 ? *second : *first;
    const Launch& bareLaunch = pair % 2 ? *first : *second;
    editorRuns.Add(editorLaunch);
    bareRuns.Add(bareLaunch);
    std::wprintf(L"%4d %10.1f / %7.1f ms %10.1f / %7.1f ms\n", pair + 1, editorLaunch.idleMs,
                 editorLaunch.visibleMs, bareLaunch.idleMs, bareLaunch.visibleMs);
  }

  std::wprintf(
      L"\nmedians of %-4d start->idle start->visible processor time peak working set private bytes\n", pairs);
  const Medians editorMedians(editorRuns), bareMedians(bareRuns);
  PrintMedians(NameOf(editor), editorMedians);
  PrintMedians(NameOf(bare), bareMedians);
  PrintRatios(editorMedians, bareMedians);
  return 0;
}
