#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

// Test programs prepare the platform the way the editor's start-up does.
int wmain(int argc, wchar_t** argv) {
  CoInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_BAR_CLASSES |
                                                      ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  testing::InitGoogleTest(&argc, argv);
  int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
