#include <windows.h>
// Both need the base definitions above.
#include <commctrl.h>
#include <objbase.h>

#include "app/AppModule.h"
#include "app/RunMainWindow.h"

// The command line is not looked at: the editor always starts without a document. The show
// command is what the runtime derived from the start-up information (SW_SHOWDEFAULT when that
// names none).
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  CoInitialize(nullptr);
  // Lets the system finish setting up this thread's windowing before the first window.
  DefWindowProcW(nullptr, 0, 0, 0);
  INITCOMMONCONTROLSEX controls{8, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
  InitCommonControlsEx(&controls);
  TheAppModule().Initialize(instance);

  const int exitCode = RunMainWindow(showCommand);

  TheAppModule().Terminate();
  CoUninitialize();
  return exitCode;
}
