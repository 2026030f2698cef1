#include "app/SingleInstance.h"

#include <cstring>

namespace {

// How long a second start waits for a first instance that is still creating its frame, and
// for a busy frame to take the files.
constexpr DWORD kFindFrameTimeoutMs = 10000;
constexpr DWORD kFindFrameStepMs = 100;
constexpr UINT kHandOverTimeoutMs = 10000;

// "Local\" keeps the name inside this logon session; the user name keeps two users of one
// session (run as another user) apart.
std::wstring MutexName() {
  wchar_t user[256]{};
  DWORD length = static_cast<DWORD>(std::size(user));
  if (!GetUserNameW(user, &length)) user[0] = L'\0';
  std::wstring name = L"Local\\Sonarwick.Editor.";
  for (const wchar_t* c = user; *c != L'\0'; ++c) name += *c == L'\\' ? L'_' : *c;
  return name;
}

BOOL CALLBACK FindMarkedFrame(HWND window, LPARAM found) {
  if (GetPropW(window, kFrameProperty) == nullptr) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

HWND RunningFrame() {
  for (DWORD waited = 0; waited < kFindFrameTimeoutMs; waited += kFindFrameStepMs) {
    HWND frame = nullptr;
    EnumWindows(FindMarkedFrame, reinterpret_cast<LPARAM>(&frame));
    if (frame != nullptr) return frame;
    Sleep(kFindFrameStepMs);
  }
  return nullptr;
}

}  // namespace

SingleInstance::SingleInstance() {
  mutex_ = CreateMutexW(nullptr, FALSE, MutexName().c_str());
  anotherRunning_ = mutex_ != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
}

SingleInstance::~SingleInstance() {
  if (mutex_ != nullptr) CloseHandle(mutex_);
}

bool HandToRunningInstance(const std::vector<std::wstring>& files) {
  HWND frame = RunningFrame();
  if (frame == nullptr) return false;
  // The running instance may come to the front only with the starting one's leave.
  DWORD process = 0;
  GetWindowThreadProcessId(frame, &process);
  AllowSetForegroundWindow(process);
  std::vector<BYTE> data = PackFileList(files);
  COPYDATASTRUCT copy{kOpenFilesData, static_cast<DWORD>(data.size()), data.empty() ? nullptr : data.data()};
  DWORD_PTR answer = 0;
  return SendMessageTimeoutW(frame, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG,
                             kHandOverTimeoutMs, &answer) != 0 &&
         answer == TRUE;
}

std::vector<BYTE> PackFileList(const std::vector<std::wstring>& files) {
  std::vector<BYTE> data;
  for (const std::wstring& file : files) {
    const size_t start = data.size();
    data.resize(start + (file.size() + 1) * sizeof(wchar_t), 0);
    std::memcpy(data.data() + start, file.data(), file.size() * sizeof(wchar_t));
  }
  return data;
}

std::vector<std::wstring> UnpackFileList(const void* data, size_t size) {
  std::vector<std::wstring> files;
  if (data == nullptr) return files;
  std::wstring all(size / sizeof(wchar_t), L'\0');
  std::memcpy(all.data(), data, all.size() * sizeof(wchar_t));
  for (size_t start = 0; start < all.size();) {
    const size_t end = all.find(L'\0', start);
    // A path without its terminator was cut off on the way.
    if (end == std::wstring::npos) break;
    if (end > start) files.push_back(all.substr(start, end - start));
    start = end + 1;
  }
  return files;
}
