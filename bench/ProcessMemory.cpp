#include "ProcessMemory.h"

// GetProcessMemoryInfo needs the base types first.
#include <psapi.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>

namespace {

std::string Utf8(const std::wstring& text) {
  std::string narrow(text.size() * 3, '\0');
  narrow.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(),
                                                        static_cast<int>(text.size()), narrow.data(),
                                                        static_cast<int>(narrow.size()), nullptr, nullptr)));
  return narrow;
}

// Empty when the file cannot be read: the /proc files of a process that ends during the scan
// fail to read, and the stream buffer reports that by throwing.
std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  try {
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  } catch (const std::ios_base::failure&) {
    return {};
  }
}

SIZE_T StatusBytes(const std::string& status, const char* field) {
  size_t at = status.find(field);
  if (at == std::string::npos) return 0;
  return static_cast<SIZE_T>(std::strtoull(status.c_str() + at + std::strlen(field), nullptr, 10)) * 1024;
}

std::string WinePrefix() {
  wchar_t prefix[MAX_PATH]{};
  DWORD length = GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH);
  return length > 0 && length < MAX_PATH ? Utf8(prefix) : std::string();
}

std::string FileNameOf(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

// Wine runs each Windows process as a Linux process whose command line starts with the path of
// the executable (Windows or Linux, absolute or not) and whose environment names the prefix.
bool RunsUnderThisPrefix(const std::string& folder, const std::string& exeName, const std::string& prefix) {
  std::string commandLine = ReadWholeFile(folder + "cmdline");
  if (_stricmp(FileNameOf(commandLine.substr(0, commandLine.find('\0'))).c_str(), exeName.c_str()) != 0)
    return false;
  return prefix.empty() ||
         ReadWholeFile(folder + "environ").find("WINEPREFIX=" + prefix + std::string(1, '\0')) !=
             std::string::npos;
}

// The time every thread of the Linux process in `folder` spent on a processor: the first field
// of each thread's schedstat, in nanoseconds.
double ThreadsProcessorMs(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "task\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return 0;
  double nanoseconds = 0;
  do {
    std::string thread = entry.cFileName;
    if (thread.find_first_not_of("0123456789") != std::string::npos) continue;
    nanoseconds += std::strtod(ReadWholeFile(folder + "task\\" + thread + "\\schedstat").c_str(), nullptr);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return nanoseconds / 1e6;
}

// The status of the Linux process running `exe`, read through Wine's drive Z:. Nothing on
// Windows, where there is no such drive.
std::optional<ProcessFigures> LinuxProcessFigures(const std::wstring& exe) {
  const std::string exeName = FileNameOf(Utf8(exe)), prefix = WinePrefix();
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<ProcessFigures> found;
  do {
    std::string name = entry.cFileName;
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::string folder = "Z:\\proc\\" + name + "\\";
    if (!RunsUnderThisPrefix(folder, exeName, prefix)) continue;
    std::string status = ReadWholeFile(folder + "status");
    found = ProcessFigures{StatusBytes(status, "VmHWM:"), StatusBytes(status, "RssAnon:"),
                           ThreadsProcessorMs(folder)};
    break;
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return found;
}

}  // namespace

double ProcessorMs(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  auto ticks = [](const FILETIME& time) {
    return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
  };
  return (ticks(kernel) + ticks(user)) / 1e4;
}

ProcessFigures ReadProcessFigures(HANDLE process, const std::wstring& exe) {
  ProcessFigures figures;
  figures.processorMs = ProcessorMs(process);
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof(counters))) {
    figures.peakWorkingSet = counters.PeakWorkingSetSize;
    figures.privateBytes = counters.PrivateUsage;
  }
  // Wine's own process times are whole scheduler ticks at best.
  if (std::optional<ProcessFigures> linux = LinuxProcessFigures(exe)) {
    if (figures.privateBytes == 0) figures.privateBytes = linux->privateBytes;
    if (figures.peakWorkingSet == 0) figures.peakWorkingSet = linux->peakWorkingSet;
    figures.processorMs = linux->processorMs;
  }
  return figures;
}

std::wstring OwnExecutable() {
  wchar_t path[MAX_PATH]{};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}
