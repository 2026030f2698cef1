#include "session/SingleInstance.h"

#include <cstring>

namespace {

// How long a second start waits for a first instance that is still creating its frame, and
// for a busy frame to take the files.
constexpr DWORD kFindFrameTimeoutMs = 10000;
constexpr DWORD kFindFrameStepMs = 100;
constexpr UINT kHandOverTimeoutMs = 10000;
// Every ticket's name starts so: the running editor opens no other object a message names.
constexpr wchar_t kTicketPrefix[] = L"Local\\Sonarwick.HandOver.";

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

// A semaphore of one: taking it (by either side) is the one decision there is.
HandOverTicket::HandOverTicket() {
  static LONG issued = 0;
  name_ = kTicketPrefix + std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(GetTickCount64()) +
          L"." + std::to_wstring(InterlockedIncrement(&issued));
  semaphore_ = CreateSemaphoreW(nullptr, 1, 1, name_.c_str());
  // A name someone else holds already is no ticket of ours.
  if (semaphore_ != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(semaphore_);
    semaphore_ = nullptr;
  }
}

HandOverTicket::~HandOverTicket() {
  if (semaphore_ != nullptr) CloseHandle(semaphore_);
}

bool HandOverTicket::TakeBack() {
  return semaphore_ != nullptr && WaitForSingleObject(semaphore_, 0) == WAIT_OBJECT_0;
}

bool TakeHandOver(const std::wstring& ticket) {
  if (ticket.rfind(kTicketPrefix, 0) != 0) return false;
  HANDLE semaphore = OpenSemaphoreW(SYNCHRONIZE, FALSE, ticket.c_str());
  // Gone: the second start took it back and ended.
  if (semaphore == nullptr) return false;
  const bool taken = WaitForSingleObject(semaphore, 0) == WAIT_OBJECT_0;
  CloseHandle(semaphore);
  return taken;
}

bool HandToRunningInstance(const std::vector<std::wstring>& files) {
  HWND frame = RunningFrame();
  if (frame == nullptr) return false;
  HandOverTicket ticket;
  if (!ticket.Valid()) return false;
  // The running instance may come to the front only with the starting one's leave.
  DWORD process = 0;
  GetWindowThreadProcessId(frame, &process);
  AllowSetForegroundWindow(process);
  std::vector<std::wstring> list{ticket.Name()};
  list.insert(list.end(), files.begin(), files.end());
  std::vector<BYTE> data = PackFileList(list);
  COPYDATASTRUCT copy{kOpenFilesData, static_cast<DWORD>(data.size()), data.data()};
  DWORD_PTR answer = 0;
  if (SendMessageTimeoutW(frame, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG,
                          kHandOverTimeoutMs, &answer) != 0 &&
      answer == TRUE)
    return true;
  // No answer in time: the message may still be handled later, but then finds the ticket taken;
  // if the running editor took it first, the files are in its hands after all.
  return !ticket.TakeBack();
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
