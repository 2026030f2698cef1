#pragma once

#include <windows.h>

#include <vector>

#include "win/IdleHandler.h"
#include "win/MessageFilter.h"

// The message loop of a user-interface thread. It owns neither its filters nor its idle
// handlers: whoever registers one unregisters it before it goes away.
class MessageLoop {
 public:
  MessageLoop() = default;
  MessageLoop(const MessageLoop&) = delete;
  MessageLoop& operator=(const MessageLoop&) = delete;

  // Registration refuses null; removal deletes the first equal entry and keeps the order of
  // the rest. Both may run while the loop is asking its filters or idle handlers.
  bool RegisterFilter(MessageFilter* filter);
  bool UnregisterFilter(MessageFilter* filter);
  bool RegisterIdleHandler(IdleHandler* handler);
  bool UnregisterIdleHandler(IdleHandler* handler);

  // Runs until the quit message and returns its exit code.
  int Pump();

  // Mouse moves, paints and caret blinks come in streams and change nothing that idle work
  // would show, so they do not call for another idle pass.
  static bool CallsForIdle(UINT message);

 private:
  // Asks the filters, last registered first; true when one consumed the message.
  bool FilterMessage(MSG& msg);
  // One idle pass over every handler, first registered first.
  void RunIdleHandlers();

  std::vector<MessageFilter*> filters_;
  std::vector<IdleHandler*> idleHandlers_;
};
