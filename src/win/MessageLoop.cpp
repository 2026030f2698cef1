#include "win/MessageLoop.h"

#include <algorithm>

#include "win/Window.h"

namespace {

// The system's caret-blink timer message.
constexpr UINT kCaretBlink = 0x118;

template <typename T>
bool Register(std::vector<T*>& list, T* entry) {
  if (entry == nullptr) return false;
  list.push_back(entry);
  return true;
}

template <typename T>
bool Unregister(std::vector<T*>& list, T* entry) {
  auto found = std::find(list.begin(), list.end(), entry);
  if (found == list.end()) return false;
  list.erase(found);
  return true;
}

}  // namespace

bool MessageLoop::RegisterFilter(MessageFilter* filter) { return Register(filters_, filter); }
bool MessageLoop::UnregisterFilter(MessageFilter* filter) { return Unregister(filters_, filter); }
bool MessageLoop::RegisterIdleHandler(IdleHandler* handler) { return Register(idleHandlers_, handler); }
bool MessageLoop::UnregisterIdleHandler(IdleHandler* handler) { return Unregister(idleHandlers_, handler); }

bool MessageLoop::CallsForIdle(UINT message) {
  return message != WM_MOUSEMOVE && message != WM_NCMOUSEMOVE && message != WM_PAINT &&
         message != kCaretBlink;
}

// Lists are walked by index and re-checked on every step: a filter or handler may unregister
// itself or others (a filter's accelerator can end in the frame's destruction). Filters and
// idle handlers are guarded as window procedures are: an exception leaving the loop would end
// the process with every unsaved document. The failure is told to the window the message was
// for (the active one for idle work).
bool MessageLoop::FilterMessage(MSG& msg) {
  for (size_t index = filters_.size(); index-- > 0;) {
    if (index >= filters_.size()) continue;
    // A message whose filter failed goes no further: its action was refused.
    MessageFilter* filter = filters_[index];
    if (Window::Guard(msg.hwnd, msg.message, true, [&] { return filter->FilterMessage(msg); })) return true;
  }
  return false;
}

void MessageLoop::RunIdleHandlers() {
  for (size_t index = 0; index < idleHandlers_.size(); ++index) {
    IdleHandler* handler = idleHandlers_[index];
    Window::Guard(GetActiveWindow(), 0, false, [handler] {
      handler->DoIdle();
      return true;
    });
  }
}

// The message record is local: a filter or a window procedure may run a nested loop of its
// own (a modal dialog) while this one is between steps.
int MessageLoop::Pump() {
  bool idle = true;
  MSG msg{};
  for (;;) {
    if (idle && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      RunIdleHandlers();
      idle = false;
    }
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) continue;
    if (got == 0) return static_cast<int>(msg.wParam);
    const UINT message = msg.message;
    if (!FilterMessage(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (CallsForIdle(message)) idle = true;
  }
}
