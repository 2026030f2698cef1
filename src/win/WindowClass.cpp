#include "win/WindowClass.h"

#include "win/CriticalSectionGuard.h"
#include "win/Window.h"

#include <map>
#include <memory>
#include <string>

namespace {

struct Registry {
  Registry() { InitializeCriticalSection(&lock); }
  CRITICAL_SECTION lock;
  std::map<std::wstring, std::unique_ptr<WindowClass>> classes;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

const WindowClass* RegisterOnce(const wchar_t* name, WNDCLASSEXW wc, const ClassCustomizer& customize) {
  Registry& registry = TheRegistry();
  CriticalSectionGuard guard(registry.lock);
  auto found = registry.classes.find(name);
  if (found != registry.classes.end()) return found->second.get();

  WNDPROC baseProc = wc.lpfnWndProc ? wc.lpfnWndProc : DefWindowProcW;
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = Window::ClassProcedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.cbWndExtra += sizeof(void*);  // the slot for the window object
  wc.style &= ~CS_GLOBALCLASS;
  if (customize) customize(wc);
  wc.lpszClassName = name;
  ATOM atom = RegisterClassExW(&wc);
  if (atom == 0) return nullptr;
  auto entry = std::make_unique<WindowClass>(WindowClass{nullptr, atom, baseProc});
  auto inserted = registry.classes.emplace(name, std::move(entry)).first;
  inserted->second->name = inserted->first.c_str();
  return inserted->second.get();
}

}  // namespace

CRITICAL_SECTION& ClassRegistrationLock() { return TheRegistry().lock; }

const WindowClass* RegisterWindowClass(const wchar_t* name, const ClassCustomizer& customize) {
  WNDCLASSEXW wc{};
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  return RegisterOnce(name, wc, customize);
}

const WindowClass* RegisterSuperclass(const wchar_t* baseName, const wchar_t* name,
                                      const ClassCustomizer& customize) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (!GetClassInfoExW(nullptr, baseName, &wc)) return nullptr;
  return RegisterOnce(name, wc, customize);
}
