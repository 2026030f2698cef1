#include "documents/FileDialog.h"
#include "win/ResourceModule.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// The dialog being run on this thread; its hook attaches it to the dialog window.
thread_local FileDialog* dialogBeingRun = nullptr;

OSVERSIONINFOW PlatformVersion() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  GetVersionExW(&version);
  return version;
}

// Older systems read only the record without the trailing reserved fields and extended flags.
DWORD RecordSizeFor(const OSVERSIONINFOW& version) {
  bool older = version.dwMajorVersion < 5 && !(version.dwMajorVersion == 4 && version.dwMinorVersion >= 90);
  return older ? OPENFILENAME_SIZE_VERSION_400W : sizeof(OPENFILENAMEW);
}

}  // namespace

std::wstring ConvertFilter(std::wstring_view filter) {
  std::wstring pairs(filter);
  std::replace(pairs.begin(), pairs.end(), L'|', L'\0');
  if (pairs.empty() || pairs.back() != L'\0') pairs.push_back(L'\0');
  return pairs;
}

bool TakesFullFileDialogRecord(DWORD platformId, DWORD major, DWORD minor) {
  if (platformId == VER_PLATFORM_WIN32_NT) return major >= 5;
  return platformId == VER_PLATFORM_WIN32_WINDOWS && major >= 4 && minor >= 90;
}

FileDialog::FileDialog(bool open, const wchar_t* defaultExtension, const wchar_t* fileName, DWORD flags,
                       const wchar_t* filter, HWND owner, bool convertFilter)
    : open_(open) {
  record_.lStructSize = RecordSizeFor(PlatformVersion());
  record_.hwndOwner = owner;
  record_.hInstance = ResourceModule();
  record_.lpstrFile = path_.data();
  record_.nMaxFile = static_cast<DWORD>(path_.size());
  record_.lpstrFileTitle = title_;
  record_.nMaxFileTitle = 256;
  record_.lpstrDefExt = defaultExtension;
  record_.Flags = flags | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING;
  record_.lpfnHook = HookProcedure;
  if (fileName != nullptr) lstrcpynW(path_.data(), fileName, static_cast<int>(path_.size()));
  if (filter != nullptr && convertFilter) {
    filter_ = ConvertFilter(filter);
    record_.lpstrFilter = filter_.c_str();
  } else {
    record_.lpstrFilter = filter;
  }
}

void FileDialog::SetInitialFolder(const std::wstring& folder) {
  initialFolder_ = folder;
  record_.lpstrInitialDir = initialFolder_.empty() ? nullptr : initialFolder_.c_str();
}

INT_PTR FileDialog::Run(HWND parent) {
  if (record_.hwndOwner == nullptr) record_.hwndOwner = parent;
  FileDialog* outer = std::exchange(dialogBeingRun, this);
  OSVERSIONINFOW version = PlatformVersion();
  BOOL chosen;
  if (TakesFullFileDialogRecord(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion)) {
    // The record may have been sized for an older system; the call always gets the full one.
    fullRecord_ = {};
    std::memcpy(&fullRecord_, &record_, OPENFILENAME_SIZE_VERSION_400W);
    fullRecord_.lStructSize = sizeof(OPENFILENAMEW);
    fullRecord_.FlagsEx = 0;
    chosen = CallPlatform(fullRecord_);
    record_ = fullRecord_;
  } else {
    chosen = CallPlatform(record_);
  }
  dialogBeingRun = outer;
  dialogWindow_ = nullptr;
  return chosen ? IDOK : IDCANCEL;
}

BOOL FileDialog::CallPlatform(OPENFILENAMEW& record) const {
  return open_ ? GetOpenFileNameW(&record) : GetSaveFileNameW(&record);
}

// The hook handles no message: it only tells the wrapper which window is its dialog. Its own
// window is the child dialog the platform creates inside the explorer-style dialog.
UINT_PTR CALLBACK FileDialog::HookProcedure(HWND hwnd, UINT msg, WPARAM, LPARAM) {
  if (msg == WM_INITDIALOG && dialogBeingRun != nullptr) {
    SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(dialogBeingRun));
    dialogBeingRun->dialogWindow_ = GetParent(hwnd);
  }
  return 0;
}
