#pragma once

#include <windows.h>

// Sees each message of the thread's loop before it is translated and dispatched.
class MessageFilter {
 public:
  // True when the filter consumed `msg`: the loop then neither translates nor dispatches it.
  virtual bool FilterMessage(MSG& msg) = 0;

 protected:
  ~MessageFilter() = default;
};
