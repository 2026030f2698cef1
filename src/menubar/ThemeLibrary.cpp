#include "menubar/ThemeLibrary.h"

#include <windows.h>

namespace {

using ThemeQuery = BOOL(WINAPI*)();

struct ThemeFunctions {
  ThemeQuery isAppThemed = nullptr;
  ThemeQuery isThemeActive = nullptr;
};

ThemeFunctions LoadThemeFunctions() {
  ThemeFunctions functions;
  // Stays loaded for the life of the process; the answers change, the library does not.
  HMODULE library = LoadLibraryW(L"uxtheme.dll");
  if (library == nullptr) return functions;
  functions.isAppThemed =
      reinterpret_cast<ThemeQuery>(reinterpret_cast<void*>(GetProcAddress(library, "IsAppThemed")));
  functions.isThemeActive =
      reinterpret_cast<ThemeQuery>(reinterpret_cast<void*>(GetProcAddress(library, "IsThemeActive")));
  return functions;
}

}  // namespace

bool IsVisualStyleActive() {
  static const ThemeFunctions functions = LoadThemeFunctions();
  if (functions.isAppThemed == nullptr || functions.isThemeActive == nullptr) return false;
  return functions.isAppThemed() && functions.isThemeActive();
}
