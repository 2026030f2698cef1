#include "win/Window.h"

#include <commctrl.h>

#include <exception>
#include <new>

namespace {

// The object whose window is being created on this thread; the class procedure binds it to
// the window at the first message it sees for an unbound window.
thread_local Window* windowBeingCreated = nullptr;

constexpr UINT_PTR kSubclassId = 0x53574B;  // one subclass of ours per window
// Subclassed windows also name their object in a property, for FromHandle.
constexpr wchar_t kSubclassProperty[] = L"Sonarwick.Window";

// Our classes keep the object pointer in the last pointer-sized slot of the window's extra
// bytes (superclasses add that slot behind the system class's own bytes).
int ObjectSlot(HWND hwnd) {
  return static_cast<int>(GetClassLongPtrW(hwnd, GCL_CBWNDEXTRA)) - static_cast<int>(sizeof(Window*));
}

// Extent of a creation rectangle. Unsigned arithmetic keeps the default rectangle
// {CW_USEDEFAULT, CW_USEDEFAULT, 0, 0} well-defined: its extents come out as CW_USEDEFAULT.
int Extent(LONG from, LONG to) {
  return static_cast<int>(static_cast<unsigned long>(to) - static_cast<unsigned long>(from));
}

bool HasOurClassProcedure(HWND hwnd, WNDPROC proc) {
  return reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd, GCLP_WNDPROC)) == proc;
}

}  // namespace

bool IsReflectable(UINT msg) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_PARENTNOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
      return true;
    default:
      return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC;
  }
}

Window::~Window() {
  if (dispatchDepth_ > 0) ++destroyedWhileDispatching_;
  if (hwnd_ == nullptr) return;
  if (subclassed_) {
    Unbind();
    return;
  }
  // The derived parts are gone; the window's last messages see only this base.
  DestroyWindow(hwnd_);
}

HWND Window::Create(const WindowClass* windowClass, HWND parent, const RECT& rect,
                    const wchar_t* text, DWORD style, DWORD exStyle, HMENU menuOrId,
                    void* createParam) {
  if (windowClass == nullptr || hwnd_ != nullptr) return nullptr;
  baseProc_ = windowClass->baseProc;
  windowBeingCreated = this;
  HWND created = CreateWindowExW(exStyle, windowClass->name, text, style, rect.left, rect.top,
                                 Extent(rect.left, rect.right), Extent(rect.top, rect.bottom), parent, menuOrId,
                                 GetModuleHandleW(nullptr), createParam);
  windowBeingCreated = nullptr;
  return created;
}

bool Window::Subclass(HWND hwnd) {
  if (hwnd_ != nullptr || !IsWindow(hwnd)) return false;
  if (!SetWindowSubclass(hwnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
    return false;
  }
  SetPropW(hwnd, kSubclassProperty, this);
  hwnd_ = hwnd;
  subclassed_ = true;
  return true;
}

void Window::RemoveSubclass() {
  if (subclassed_ && hwnd_ != nullptr) Unbind();
}

Window* Window::FromHandle(HWND hwnd) {
  if (!IsWindow(hwnd)) return nullptr;
  if (HasOurClassProcedure(hwnd, ClassProcedure)) {
    return reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, ObjectSlot(hwnd)));
  }
  return static_cast<Window*>(GetPropW(hwnd, kSubclassProperty));
}

bool Window::HandleMessage(Message&) { return false; }

LRESULT Window::CallDefault(const Message& m) {
  if (IsReflected(m.msg)) return DefWindowProcW(m.hwnd, m.msg - REFLECT_BASE, m.wParam, m.lParam);
  if (subclassed_) return DefSubclassProc(m.hwnd, m.msg, m.wParam, m.lParam);
  if (baseProc_ == nullptr) return DefWindowProcW(m.hwnd, m.msg, m.wParam, m.lParam);
  return CallWindowProcW(baseProc_, m.hwnd, m.msg, m.wParam, m.lParam);
}

void Window::Bind(HWND hwnd) {
  hwnd_ = hwnd;
  SetWindowLongPtrW(hwnd, ObjectSlot(hwnd), reinterpret_cast<LONG_PTR>(this));
}

void Window::Unbind() {
  if (subclassed_) {
    RemoveWindowSubclass(hwnd_, SubclassProc, kSubclassId);
    RemovePropW(hwnd_, kSubclassProperty);
  } else {
    SetWindowLongPtrW(hwnd_, ObjectSlot(hwnd_), 0);
  }
  hwnd_ = nullptr;
}

LRESULT Window::Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ++dispatchDepth_;
  Message m{hwnd, msg, wParam, lParam};
  // A handler may have destroyed the window (and so ended the binding) before the default
  // processing would run; a dead window gets none.
  try {
    if (!HandleMessage(m) && hwnd_ != nullptr) m.result = CallDefault(m);
  } catch (const std::bad_alloc&) {
    m.result = 0;
    ReportFailure(hwnd, msg, true);
  } catch (const std::exception&) {
    m.result = 0;
    ReportFailure(hwnd, msg, false);
  }
  --dispatchDepth_;
  if (msg == WM_NCDESTROY && hwnd_ != nullptr) {
    Unbind();
    finalMessagePending_ = true;
  }
  if (finalMessagePending_ && dispatchDepth_ == 0) {
    finalMessagePending_ = false;
    OnFinalMessage();  // may delete this object
  }
  return m.result;
}

void Window::ReportFailure(HWND hwnd, UINT msg, bool outOfMemory) noexcept {
  // A paint that failed would otherwise be asked for again at once, and fail again.
  if (msg == WM_PAINT) ValidateRect(hwnd, nullptr);
  // One report at a time: the message box of the first must not breed more.
  static bool reporting = false;
  if (reporting || failureHandler_ == nullptr) {
    MessageBeep(MB_ICONHAND);
    return;
  }
  reporting = true;
  try {
    failureHandler_(hwnd, msg, outOfMemory);
  } catch (...) {
    MessageBeep(MB_ICONHAND);
  }
  reporting = false;
}

LRESULT CALLBACK Window::ClassProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, ObjectSlot(hwnd)));
  if (window == nullptr && windowBeingCreated != nullptr) {
    window = windowBeingCreated;
    windowBeingCreated = nullptr;
    window->Bind(hwnd);
  }
  if (window == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  return window->Dispatch(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK Window::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR refData) {
  return reinterpret_cast<Window*>(refData)->Dispatch(hwnd, msg, wParam, lParam);
}
