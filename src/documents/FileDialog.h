#pragma once

// The common dialogs header needs the platform header first.
// clang-format off
#include <windows.h>
#include <commdlg.h>
// clang-format on

#include <string>
#include <string_view>
#include <vector>

// The filter the editor's file dialogs offer, and the extension a typed name without one gets.
inline constexpr wchar_t kAmbientFileFilter[] = L"Ambient Data (.bad)|*.bad|";
inline constexpr wchar_t kAmbientFileExtension[] = L"bad";

// The pair list the platform reads from a "Name|pattern|" filter: every '|' becomes a zero
// character, and the list always ends in two zeros (the std::wstring's own terminator is the
// second), even when the given filter lacks its closing '|'.
std::wstring ConvertFilter(std::wstring_view filter);

// Whether a system of this version takes the full file-dialog record (Windows 2000 and later
// on the NT line, Windows Me on the 9x line) rather than the shorter NT 4 one.
bool TakesFullFileDialogRecord(DWORD platformId, DWORD major, DWORD minor);

// The platform's open or save dialog. Construct it, Run it once, then read the chosen full
// path and the file's name without its folder. The record points into the object, so it is
// neither copied nor moved.
class FileDialog {
 public:
  FileDialog(bool open, const wchar_t* defaultExtension, const wchar_t* fileName, DWORD flags,
             const wchar_t* filter, HWND owner, bool convertFilter = true);
  FileDialog(const FileDialog&) = delete;
  FileDialog& operator=(const FileDialog&) = delete;

  // The folder the dialog opens in; the system's choice when empty.
  void SetInitialFolder(const std::wstring& folder);

  // Shows the dialog modally; `parent` owns it when the constructor got no owner. IDOK when a
  // file was chosen, IDCANCEL on cancel or any failure.
  INT_PTR Run(HWND parent);

  std::wstring FullPath() const { return path_.data(); }
  const wchar_t* FileTitle() const { return title_; }
  // The dialog window while it is shown, else null.
  HWND DialogWindow() const { return dialogWindow_; }
  const OPENFILENAMEW& Record() const { return record_; }

 private:
  static UINT_PTR CALLBACK HookProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  BOOL CallPlatform(OPENFILENAMEW& record) const;

  bool open_;
  OPENFILENAMEW record_{};
  // Room for the longest path the system takes (32,767 characters), so none is cut short.
  std::vector<wchar_t> path_ = std::vector<wchar_t>(32768, L'\0');
  wchar_t title_[256]{};
  std::wstring filter_;
  std::wstring initialFolder_;
  OPENFILENAMEW fullRecord_{};
  HWND dialogWindow_ = nullptr;
};

// The editor's two dialogs: Open accepts only an existing file; Save As asks before
// overwriting. Both offer the ambient filter and append ".bad" to a name typed without one.
inline FileDialog MakeOpenFileDialog(HWND owner) {
  return FileDialog(true, kAmbientFileExtension, nullptr,
                    OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_ENABLESIZING, kAmbientFileFilter, owner);
}

inline FileDialog MakeSaveAsFileDialog(HWND owner) {
  return FileDialog(false, kAmbientFileExtension, nullptr,
                    OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_ENABLESIZING, kAmbientFileFilter, owner);
}
