#pragma once

#include "menubar/CommandBar.h"

// Watches the frame for the bar: answers MENUBAR_GET_WINDOW, takes the menu keys that the
// default processing turns into SC_KEYMENU, notes the item selected in an open popup, draws
// the items' images (the frame owns every popup while it is tracked, the bar's, the chevron's
// and its own), and passes on setting changes.
//
// Only the bar frees it: the frame's WM_DESTROY may be what destroys the bar while this hook's
// dispatch of that message is still on the stack, so the bar merely unhooks it then.
class CommandBar::OwnerHook : public Window {
 public:
  explicit OwnerHook(CommandBar& bar) : bar_(bar) {}

 protected:
  bool HandleMessage(Message& m) override;

 private:
  CommandBar& bar_;
};
