#include "StartupPieces.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <fstream>
#include <sstream>

#include "ProcessLaunch.h"

namespace {

constexpr wchar_t kMarksFileVariable[] = L"SONARWICK_STARTUP_MARKS";

std::wstring TemporaryFile() {
  wchar_t folder[MAX_PATH]{}, path[MAX_PATH]{};
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, L"swm", 0, path);
  return path;
}

std::wstring WideOf(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                         static_cast<int>(wide.size()));
  wide.resize(static_cast<size_t>(length > 0 ? length : 0));
  return wide;
}

}  // namespace

StartupPieces::StartupPieces() : path_(TemporaryFile()) {
  DeleteFileW(path_.c_str());
  SetEnvironmentVariableW(kMarksFileVariable, path_.c_str());
}

StartupPieces::~StartupPieces() {
  SetEnvironmentVariableW(kMarksFileVariable, nullptr);
  DeleteFileW(path_.c_str());
}

bool StartupPieces::Collect(double launchMs, const std::wstring& group) {
  std::ifstream file(path_.c_str());
  if (!file) return false;
  std::string line;
  double frequency = 0, previous = launchMs;
  bool any = false;
  while (std::getline(file, line)) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    const std::wstring name = group + WideOf(line.substr(0, tab));
    const double value = std::stod(line.substr(tab + 1));
    if (name == group + L"frequency") {
      frequency = value;
      continue;
    }
    if (frequency <= 0) break;
    const double at = value * 1000.0 / frequency;
    if (!lengths_.count(name)) order_.push_back(name);
    lengths_[name].push_back(at - previous);
    ends_[name].push_back(at - launchMs);
    previous = at;
    any = true;
  }
  file.close();
  DeleteFileW(path_.c_str());
  return any;
}

void StartupPieces::Clear() {
  order_.clear();
  lengths_.clear();
  ends_.clear();
}

// The least length is what the piece costs when nothing else on the machine gets in its way.
void StartupPieces::Print(const wchar_t* title) const {
  if (order_.empty()) return;
  std::wprintf(L"\n%-34ls %10ls %10ls %10ls\n", title, L"median", L"least", L"ends at");
  for (const std::wstring& name : order_) {
    const std::vector<double>& lengths = lengths_.at(name);
    std::wprintf(L"  %-32ls %7.1f ms %7.1f ms %7.1f ms\n", name.c_str(), Median(lengths),
                 *std::min_element(lengths.begin(), lengths.end()), Median(ends_.at(name)));
  }
  std::fflush(stdout);
}
