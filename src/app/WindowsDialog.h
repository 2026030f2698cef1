#pragma once

#include <functional>
#include <string>
#include <vector>

#include "win/Dialog.h"

// "Windows...": every open document in one list, for when the Window menu cannot show them
// all. Activate (Enter, a double click) ends the dialog with the chosen page; Close Window
// closes the chosen page (asking to save first, as always) and keeps the list open.
class WindowsDialog : public Dialog {
 public:
  struct Pages {
    std::function<std::vector<std::wstring>()> titles;
    std::function<int()> active;
    // False when the page stayed open (the user cancelled the save prompt).
    std::function<bool(int)> close;
  };

  explicit WindowsDialog(Pages pages) : pages_(std::move(pages)) {}

  // The page to bring forward, or -1 when the dialog was cancelled.
  int Run(HWND owner);

 protected:
  bool HandleMessage(Message& m) override;

 private:
  void Fill(int select);
  int Selected() const;
  void Activate();
  void CloseSelected();

  Pages pages_;
  int chosen_ = -1;
};
