#include "findreplace/FindReplaceDialog.h"

#include <dlgs.h>

#include "win/AppModule.h"
#include "commands/CommandStrings.h"
#include "win/MessageLoop.h"
#include "resources/ResourceIds.h"
#include "win/Window.h"

FindReplaceDialog::~FindReplaceDialog() { Close(); }

UINT FindReplaceDialog::Message() {
  static const UINT message = RegisterWindowMessageW(FINDMSGSTRING);
  return message;
}

bool FindReplaceDialog::Show(HWND owner, bool replace, HACCEL keys) {
  keys_ = keys;
  if (window_ != nullptr && replace_ == replace) {
    SetActiveWindow(window_);
    SetFocus(GetDlgItem(window_, edt1));
    return true;
  }
  Close();
  record_.lStructSize = sizeof(record_);
  record_.hwndOwner = owner;
  record_.Flags = options_ | FR_ENABLEHOOK;
  record_.lpstrFindWhat = findText_;
  record_.wFindWhatLen = kTextSize;
  record_.lpstrReplaceWith = replaceText_;
  record_.wReplaceWithLen = kTextSize;
  record_.lpfnHook = &FindReplaceDialog::Hook;
  replace_ = replace;
  window_ = replace ? ReplaceTextW(&record_) : FindTextW(&record_);
  if (window_ == nullptr) return false;
  if (MessageLoop* loop = TheAppModule().LoopForThread()) filtering_ = loop->RegisterFilter(this);
  return true;
}

void FindReplaceDialog::Close() {
  if (window_ == nullptr) return;
  HWND window = window_;
  Forget();
  DestroyWindow(window);
}

void FindReplaceDialog::Forget() {
  window_ = nullptr;
  if (!filtering_) return;
  filtering_ = false;
  if (MessageLoop* loop = TheAppModule().LoopForThread()) loop->UnregisterFilter(this);
}

DWORD FindReplaceDialog::TakeNotification(LPARAM lParam) {
  const auto* record = reinterpret_cast<const FINDREPLACEW*>(lParam);
  if (record != &record_) return 0;
  if ((record->Flags & FR_DIALOGTERM) != 0) {
    Forget();
  } else if (window_ != nullptr) {
    // A closing dialog may clear the record's flags; the options of the last request stay.
    options_ = record->Flags & (FR_DOWN | FR_MATCHCASE | FR_WHOLEWORD);
    // Some implementations of the dialog pass the texts through the ANSI code page on the way
    // to the record, losing what it lacks (Cyrillic under a Western one); the boxes hold them whole.
    GetDlgItemTextW(window_, edt1, findText_, kTextSize);
    if (replace_) GetDlgItemTextW(window_, edt2, replaceText_, kTextSize);
  }
  return record->Flags & (FR_FINDNEXT | FR_REPLACE | FR_REPLACEALL | FR_DIALOGTERM);
}

NameSearch FindReplaceDialog::Search() const {
  return {findText_, (options_ & FR_MATCHCASE) != 0, (options_ & FR_WHOLEWORD) != 0};
}

bool FindReplaceDialog::FilterMessage(MSG& msg) {
  if (window_ == nullptr || (msg.hwnd != window_ && !IsChild(window_, msg.hwnd))) return false;
  if (keys_ != nullptr && TranslateAcceleratorW(record_.hwndOwner, keys_, &msg) != 0) return true;
  return IsDialogMessageW(window_, &msg) != FALSE;
}

// A search goes over whole names, so the box the system calls "whole word" says "whole name".
UINT_PTR CALLBACK FindReplaceDialog::Hook(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return FALSE;
  Window::Guard(dialog, message, false, [dialog] {
    const std::wstring caption = LoadCommandString(STR_FIND_WHOLE_NAME);
    if (!caption.empty()) SetDlgItemTextW(dialog, chx1, caption.c_str());
    return true;
  });
  return TRUE;
}
