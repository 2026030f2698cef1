#pragma once

#include <windows.h>

#include <functional>

// A window class registered by this program. Every class routes its messages to the window
// object bound to the window; `baseProc` is the procedure that does the default processing:
// DefWindowProcW for classes of our own, the system control's procedure for superclasses.
struct WindowClass {
  const wchar_t* name;
  ATOM atom;
  WNDPROC baseProc;
};

using ClassCustomizer = std::function<void(WNDCLASSEXW&)>;

// Registers a class of our own once per process and returns it on every later call.
// `customize` may set style, icons, cursor, background and menu before registration.
const WindowClass* RegisterWindowClass(const wchar_t* name, const ClassCustomizer& customize = {});

// Registers, once per process, a copy of the system class `baseName` under `name`; windows
// of the copy get the system class's behaviour as their default processing.
const WindowClass* RegisterSuperclass(const wchar_t* baseName, const wchar_t* name,
                                      const ClassCustomizer& customize = {});

// The lock that guards the one-time registration of window classes.
CRITICAL_SECTION& ClassRegistrationLock();
