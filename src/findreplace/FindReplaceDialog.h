#pragma once

#include <windows.h>
// The dialog's record needs the base declarations first.
#include <commdlg.h>

#include <string>

#include "ambient/NameReplacement.h"
#include "win/MessageFilter.h"

// The system's own modeless Find or Replace dialog, one at a time. It tells its owner what the
// user asked for with the registered FINDMSGSTRING message; while it is open its keys (Tab,
// Enter, Escape, mnemonics) go through IsDialogMessage ahead of the frame's accelerators. What
// was typed stays after it closes, so Find Next goes on searching.
class FindReplaceDialog : public MessageFilter {
 public:
  FindReplaceDialog() = default;
  FindReplaceDialog(const FindReplaceDialog&) = delete;
  FindReplaceDialog& operator=(const FindReplaceDialog&) = delete;
  ~FindReplaceDialog();

  // The message the dialog sends its owner; lParam is the FINDREPLACEW record.
  static UINT Message();

  // Shows the Replace (`replace`) or the Find dialog owned by `owner`, or activates it when it is
  // already open; a dialog of the other kind closes first. False when it could not be made.
  // `keys` are the owner's accelerators that work in the dialog too (Find Next); the caller keeps
  // the table alive while the dialog is open.
  bool Show(HWND owner, bool replace, HACCEL keys = nullptr);
  // Closes the dialog, if open; the frame does so before it goes.
  void Close();
  bool IsOpen() const { return window_ != nullptr; }
  HWND Handle() const { return window_; }

  // Reads one notification: the FR_ flags of what was asked. A closing dialog (FR_DIALOGTERM) is
  // forgotten here.
  DWORD TakeNotification(LPARAM lParam);

  NameSearch Search() const;
  std::wstring Replacement() const { return replaceText_; }
  // The Replace dialog has no direction: it always searches down.
  bool SearchesDown() const { return replace_ || (options_ & FR_DOWN) != 0; }

  bool FilterMessage(MSG& msg) override;

 private:
  static UINT_PTR CALLBACK Hook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  void Forget();

  static constexpr WORD kTextSize = 256;
  FINDREPLACEW record_{};
  // Direction, case and whole name as last asked; the first dialog searches down.
  DWORD options_ = FR_DOWN;
  wchar_t findText_[kTextSize]{};
  wchar_t replaceText_[kTextSize]{};
  HWND window_ = nullptr;
  HACCEL keys_ = nullptr;
  bool replace_ = false;
  bool filtering_ = false;
};
