#pragma once

#include <exception>
#include <new>

#include "win/Message.h"
#include "win/WindowClass.h"

// The object behind one window. A derived class tests its own messages in the order of its
// handler table and ends with `return Base::HandleMessage(m);`; whatever no class consumes
// goes to the class's default processing (the superclassed or original procedure).
//
// Two ways to bind: Create() makes a window of a registered class and binds the object
// before its first message; Subclass() takes over an existing window (a system control).
// The binding ends after WM_NCDESTROY, the window's last message; OnFinalMessage() then runs
// once, when no handler of this object is on the stack any more, so a self-deleting object
// can `delete this` there.
class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  // Destroys a still-living window this object created, or removes its subclass.
  virtual ~Window();

  HWND Handle() const { return hwnd_; }

  HWND Create(const WindowClass* windowClass, HWND parent, const RECT& rect, const wchar_t* text,
              DWORD style, DWORD exStyle = 0, HMENU menuOrId = nullptr, void* createParam = nullptr);
  bool Subclass(HWND hwnd);
  // Gives a subclassed window back to its own procedure while this object lives on; safe from
  // inside one of the object's own handlers, which is why the object is freed later, not here.
  void RemoveSubclass();

  // The window object bound to `hwnd`, or null when it has none (or is a foreign window).
  static Window* FromHandle(HWND hwnd);

  // Whether this control wants a notification it sent to its parent back at once, reflected,
  // rather than carried up to the frame and back: a control that paints itself through its
  // own notices would otherwise pay for the whole way on every row it draws.
  virtual bool TakesOwnNotification(UINT /*code*/) const { return false; }

  // Objects that were destroyed while one of their own handlers was still running: each is a
  // use-after-free waiting to happen, so tests expect this to stay 0.
  static int DestroyedWhileDispatching() { return destroyedWhileDispatching_; }

  // No exception ever leaves a window procedure: the system's code between the procedures
  // cannot pass one on, and the process would end with every unsaved document. A handler that
  // throws has its message answered with 0 and this is told (on the window's thread); without
  // one set, a beep says the action was refused.
  using FailureHandler = void (*)(HWND hwnd, UINT msg, bool outOfMemory);
  static void SetFailureHandler(FailureHandler handler) { failureHandler_ = handler; }
  // Tells a failure the way a window procedure's is told; for code that runs on the window's
  // thread outside a procedure (the loop's filters and idle handlers).
  static void ReportFailure(HWND hwnd, UINT msg, bool outOfMemory) noexcept;
  // Runs `handler` (for message `msg` of `hwnd`) as a window procedure's handler runs: what
  // it throws is told as above and `failed` is returned in its place. For every callback the
  // system calls that is no procedure of a Window: hooks, subclass and dialog procedures.
  template <typename Result, typename Handler>
  static Result Guard(HWND hwnd, UINT msg, Result failed, Handler&& handler) noexcept {
    try {
      return handler();
    } catch (const std::bad_alloc&) {
      ReportFailure(hwnd, msg, true);
    } catch (const std::exception&) {
      ReportFailure(hwnd, msg, false);
    }
    return failed;
  }

 protected:
  virtual bool HandleMessage(Message& m);
  // Runs the class's default processing for `m` and returns its result; for handlers that
  // need the default first and then add their own work.
  LRESULT CallDefault(const Message& m);
  virtual void OnFinalMessage() {}

 public:
  // The window procedure of every class registered through WindowClass.
  static LRESULT CALLBACK ClassProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR refData);
  void Bind(HWND hwnd);
  void Unbind();
  LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  WNDPROC baseProc_ = nullptr;
  bool subclassed_ = false;
  int dispatchDepth_ = 0;
  bool finalMessagePending_ = false;
  static inline int destroyedWhileDispatching_ = 0;
  static inline FailureHandler failureHandler_ = nullptr;
};
