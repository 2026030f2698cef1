#include "tabs/TabStrip.h"

#include "tabs/TabView.h"

bool TabStrip::HandleMessage(Message& m) {
  if (owner_.HandleStripMessage(m)) return true;
  return Window::HandleMessage(m);
}
