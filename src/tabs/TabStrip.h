#pragma once

#include "win/Window.h"

class TabView;

// The subclass on the container's system tab control. The drag and context-menu state
// belongs to the container, so every strip message is offered to it first; what it leaves
// goes on to the tab control's own procedure.
class TabStrip : public Window {
 public:
  explicit TabStrip(TabView& owner) : owner_(owner) {}

 protected:
  bool HandleMessage(Message& m) override;

 private:
  TabView& owner_;
};
