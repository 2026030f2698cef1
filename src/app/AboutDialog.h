#pragma once

#include "win/Dialog.h"

// The About box: dialog template RES_ABOUT_DIALOG shown modally and centred over its owner.
// OK, Enter, Esc and the close box end it.
class AboutDialog : public Dialog {
 public:
  // Shows the box owned by `owner` (the window active when the command arrived) and returns
  // the id that ended it.
  INT_PTR Run(HWND owner);

 protected:
  bool HandleMessage(Message& m) override;

 private:
  bool OnInitDialog(Message& m);
  bool OnCommand(Message& m);
};
