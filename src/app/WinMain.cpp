#include <windows.h>
// Both need the base definitions above.
#include <commctrl.h>
#include <objbase.h>

#include "win/AppModule.h"
#include "app/RunMainWindow.h"
#include "session/SingleInstance.h"
#include "documents/StartupFiles.h"
#include "win/StartupMarks.h"
#include "cli/ToolOptions.h"
#include "cli/ToolRunner.h"

// Every argument names a file that opens in its own page ("Open with" and files dropped on
// the program's icon); one that cannot be opened says so. The show command is what the
// runtime derived from the start-up information (SW_SHOWDEFAULT when that names none).
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  MarkStartup(L"loaded");
  const std::vector<std::wstring> arguments = CommandLineArguments(GetCommandLineW());
  // A tool for scripts (--check, --render-ambience) answers and ends without a window, and so
  // does a command line with an option that is none of theirs.
  if (const std::optional<int> toolExit = RunTool(arguments)) return *toolExit;
  // Taken before anything else could change the current folder that relative names start from;
  // a "--" that ends the options is no file.
  const std::vector<std::wstring> files = FullPathsOf(ParseToolOptions(arguments).lists);
  // A second start in this session gives its files to the first one's window and ends.
  SingleInstance oneWindow;
  if (oneWindow.AnotherIsRunning() && HandToRunningInstance(files)) return 0;
  MarkStartup(L"single instance");
  CoInitialize(nullptr);
  // Lets the system finish setting up this thread's windowing before the first window.
  DefWindowProcW(nullptr, 0, 0, 0);
  INITCOMMONCONTROLSEX controls{8, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
  InitCommonControlsEx(&controls);
  TheAppModule().Initialize(instance);
  MarkStartup(L"COM and controls");

  const int exitCode = RunMainWindow(showCommand, files);

  TheAppModule().Terminate();
  CoUninitialize();
  WriteStartupMarks();
  return exitCode;
}
