#pragma once

#include <functional>

#include "win/Window.h"

// A system control inside an in-place editor (the drop button, the drop list), subclassed so
// that its messages reach the editor's handlers before the control's own processing. The
// object lives exactly as long as the control's window: it deletes itself after the window's
// last message, so a handler that ends the editor while the control is busy stays safe.
class EditorControl : public Window {
 public:
  // Answers true when it consumed the message (result set in `m`).
  using Handler = std::function<bool(EditorControl& control, Message& m)>;

  // Subclasses `hwnd` with `handler`. False when the control cannot be subclassed.
  static bool Attach(HWND hwnd, Handler handler);

  // The control's own processing of `m`, for handlers that run it first.
  LRESULT ControlDefault(const Message& m) { return CallDefault(m); }

  // Control objects alive in this process.
  static int LiveObjects() { return liveObjects_; }

 protected:
  bool HandleMessage(Message& m) override;
  void OnFinalMessage() override { delete this; }

 private:
  explicit EditorControl(Handler handler) : handler_(std::move(handler)) { ++liveObjects_; }
  ~EditorControl() override { --liveObjects_; }

  Handler handler_;
  static inline int liveObjects_ = 0;
};
