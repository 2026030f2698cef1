#include <windows.h>
// Needs the base definitions above.
#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "WinTestSupport.h"
#include "win/AppModule.h"
#include "app/MainFrame.h"
#include "win/MessageLoop.h"
#include "app/RunMainWindow.h"
#include "resources/ResourceIds.h"
#include "win/UniqueHandle.h"

namespace {

bool RussianRun() {
  const char* locale = std::getenv("LC_ALL");
  return locale != nullptr && std::string(locale).starts_with("ru");
}

std::wstring ExpectedCaption() { return RussianRun() ? L"Редактор .bad-файлов" : L"Sonarwick"; }
std::wstring ExpectedFirstPopup() { return RussianRun() ? L"&Файл" : L"&File"; }

std::wstring MenuText(HMENU menu, int position) {
  wchar_t text[128]{};
  GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
  return text;
}

SIZE IconSize(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return {};
  UniqueBitmap mask(info.hbmMask), color(info.hbmColor);
  BITMAP bitmap{};
  GetObjectW(color.get(), sizeof(bitmap), &bitmap);
  return {bitmap.bmWidth, bitmap.bmHeight};
}

// What a frame saw while RunMainWindow ran it.
struct FrameReport {
  bool destroyed = false;
  bool shown = false;
  bool loopRegistered = false;
  HWND hwnd = nullptr;
  std::vector<WORD> commands;
};

// Ctrl+N as real keyboard input, left in the queue for the loop under test to pump.
void QueueCtrlN() {
  INPUT keys[4]{};
  const WORD order[4] = {VK_CONTROL, 'N', 'N', VK_CONTROL};
  for (int index = 0; index < 4; ++index) {
    keys[index].type = INPUT_KEYBOARD;
    keys[index].ki.wVk = order[index];
    keys[index].ki.dwFlags = index < 2 ? 0 : KEYEVENTF_KEYUP;
  }
  SendInput(4, keys, sizeof(INPUT));
}

// The real frame, run by RunMainWindow and closed by the test: at once when it is shown, or
// after typing Ctrl+N into it once the first command arrives (a timer stands by in case none
// ever does).
class ObservedFrame : public MainFrame {
 public:
  enum class Script { CloseWhenShown, TypeCtrlN };
  ObservedFrame(FrameReport& report, Script script) : report_(report), script_(script) {}
  ~ObservedFrame() override { report_.destroyed = true; }

 protected:
  bool HandleMessage(Message& m) override {
    switch (m.msg) {
      case WM_SHOWWINDOW:
        if (m.wParam) OnShown(m.hwnd);
        break;
      case WM_APP:
        SetForegroundWindow(m.hwnd);
        SetFocus(m.hwnd);
        QueueCtrlN();
        return true;
      case WM_COMMAND:
        report_.commands.push_back(LOWORD(m.wParam));
        PostMessageW(m.hwnd, WM_CLOSE, 0, 0);
        break;
      case WM_TIMER:
        PostMessageW(m.hwnd, WM_CLOSE, 0, 0);
        break;
      default:
        break;
    }
    return MainFrame::HandleMessage(m);
  }

 private:
  void OnShown(HWND hwnd) {
    report_.shown = true;
    report_.hwnd = hwnd;
    report_.loopRegistered = TheAppModule().LoopForThread() != nullptr;
    if (script_ == Script::CloseWhenShown) {
      PostMessageW(hwnd, WM_CLOSE, 0, 0);
      return;
    }
    PostMessageW(hwnd, WM_APP, 0, 0);
    SetTimer(hwnd, 1, 5000, nullptr);
  }

  FrameReport& report_;
  Script script_;
};

// A frame whose window refuses to be created.
class RefusingFrame : public MainFrame {
 public:
  explicit RefusingFrame(FrameReport& report) : report_(report) {}
  ~RefusingFrame() override { report_.destroyed = true; }

 protected:
  bool HandleMessage(Message& m) override {
    if (m.msg != WM_CREATE) return MainFrame::HandleMessage(m);
    report_.hwnd = m.hwnd;
    m.result = -1;
    return true;
  }

 private:
  FrameReport& report_;
};

class StartupTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(TheAppModule().Initialize(GetModuleHandleW(nullptr)), S_OK); }
  void TearDown() override { TheAppModule().Terminate(); }
};

TEST_F(StartupTest, ClosingTheFrameEndsTheRunWithExitCodeOne) {
  FrameReport report;
  int exitCode = RunMainWindow(SW_SHOWNORMAL, [&] {
    return std::make_unique<ObservedFrame>(report, ObservedFrame::Script::CloseWhenShown);
  });

  EXPECT_EQ(exitCode, 1);
  EXPECT_TRUE(report.shown);
  EXPECT_TRUE(report.loopRegistered);
  EXPECT_TRUE(report.destroyed);
  EXPECT_FALSE(IsWindow(report.hwnd));
  EXPECT_EQ(TheAppModule().LoopForThread(), nullptr);
}

TEST_F(StartupTest, FrameThatCannotBeCreatedEndsTheRunWithExitCodeZero) {
  FrameReport report;
  int exitCode = RunMainWindow(SW_SHOWNORMAL, [&] { return std::make_unique<RefusingFrame>(report); });

  EXPECT_EQ(exitCode, 0);
  EXPECT_NE(report.hwnd, nullptr);  // it got as far as its creation message
  EXPECT_FALSE(IsWindow(report.hwnd));
  EXPECT_TRUE(report.destroyed);
  EXPECT_EQ(TheAppModule().LoopForThread(), nullptr);
  // Nothing waits in the queue: no quit message, nothing shown.
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(StartupTest, FrameWindowHasItsCaptionMenuIconsAndClass) {
  MessageLoop loop;
  ASSERT_TRUE(TheAppModule().RegisterLoop(&loop));
  {
    MainFrame frame;
    HWND hwnd = frame.CreateFrame();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(WindowText(hwnd), ExpectedCaption());
    // The menu shows in the menu bar, not as the window's own menu.
    EXPECT_EQ(GetMenu(hwnd), nullptr);
    HMENU menu = frame.MenuBar().GetMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 6);
    EXPECT_EQ(MenuText(menu, 0), ExpectedFirstPopup());
    EXPECT_NE(frame.Accelerators(), nullptr);
    // Position and size are the system's defaults, a real window size rather than none.
    RECT placed{};
    GetWindowRect(hwnd, &placed);
    EXPECT_GT(placed.right - placed.left, 100);
    EXPECT_GT(placed.bottom - placed.top, 100);

    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    EXPECT_EQ(style & (WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS),
              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
    EXPECT_TRUE(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ(GetClassLongPtrW(hwnd, GCL_STYLE), 0);
    EXPECT_EQ(GetClassLongPtrW(hwnd, GCLP_HBRBACKGROUND), COLOR_WINDOW + 1);
    SIZE large = IconSize(reinterpret_cast<HICON>(GetClassLongPtrW(hwnd, GCLP_HICON)));
    SIZE small = IconSize(reinterpret_cast<HICON>(GetClassLongPtrW(hwnd, GCLP_HICONSM)));
    EXPECT_EQ(large.cx, 32);
    EXPECT_EQ(large.cy, 32);
    EXPECT_EQ(small.cx, 16);
    EXPECT_EQ(small.cy, 16);

    // A second frame shares the class registered by the first.
    MainFrame second;
    HWND secondHwnd = second.CreateFrame();
    ASSERT_NE(secondHwnd, nullptr);
    wchar_t firstClass[64]{}, secondClass[64]{};
    GetClassNameW(hwnd, firstClass, 64);
    GetClassNameW(secondHwnd, secondClass, 64);
    EXPECT_STREQ(firstClass, secondClass);
    EXPECT_NE(std::wstring(firstClass).find(L"Sonarwick"), std::wstring::npos);
  }
  TheAppModule().UnregisterLoop();
  // Both frames posted their quit message; take it out of the queue.
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 1u);
}

// The recovery offer waits for the first picture: the user's folder is asked once, when the
// frame is on screen and nothing is left to paint; a frame closed before that never asks.
TEST_F(StartupTest, RecoveryFolderIsAskedOnceTheFrameIsPainted) {
  struct Ask {
    int count = 0;
    bool frameShown = false, paintPending = true;
  } ask;
  FrameReport report;
  MainFrame* made = nullptr;
  const int exitCode = RunMainWindow(
      SW_SHOWNORMAL,
      [&] {
        auto frame = std::make_unique<MainFrame>();
        made = frame.get();
        return frame;
      },
      {},
      [&] {
        ++ask.count;
        HWND frame = made->Handle();
        ask.frameShown = frame != nullptr && IsWindowVisible(frame);
        MSG paint;
        ask.paintPending = PeekMessageW(&paint, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE) != FALSE;
        if (frame != nullptr) PostMessageW(frame, WM_CLOSE, 0, 0);
        // No folder: no copies are kept and none offered.
        return std::wstring();
      });
  EXPECT_EQ(exitCode, 1);
  EXPECT_EQ(ask.count, 1);
  EXPECT_TRUE(ask.frameShown);
  EXPECT_FALSE(ask.paintPending);

  int asked = 0;
  EXPECT_EQ(RunMainWindow(
                SW_SHOWNORMAL,
                [&] { return std::make_unique<ObservedFrame>(report, ObservedFrame::Script::CloseWhenShown); }, {},
                [&] {
                  ++asked;
                  return std::wstring();
                }),
            1);
  EXPECT_TRUE(report.destroyed);
  EXPECT_EQ(asked, 0);
}

// The frame's filter runs its accelerators: Ctrl+N typed into the frame arrives as the
// command of File > New, through the loop that RunMainWindow pumps.
TEST_F(StartupTest, AcceleratorKeysBecomeFrameCommands) {
  FrameReport report;
  int exitCode = RunMainWindow(SW_SHOWNORMAL, [&] {
    return std::make_unique<ObservedFrame>(report, ObservedFrame::Script::TypeCtrlN);
  });
  EXPECT_EQ(exitCode, 1);
  EXPECT_EQ(report.commands, std::vector<WORD>({CMD_FILE_NEW}));
}

// The editor itself, as a user starts it: it shows its frame and, once closed, ends with 1.
// Every argument naming an existing file opens in a tab of its own, whether quoted with
// spaces or relative to the current folder; the others are passed over without a message.

struct ProcessWindow {
  DWORD processId;
  HWND found;
};

HWND VisibleTopLevelWindowOf(DWORD processId) {
  ProcessWindow search{processId, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* search = reinterpret_cast<ProcessWindow*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner != search->processId || !IsWindowVisible(hwnd) || GetWindow(hwnd, GW_OWNER)) return TRUE;
        search->found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A visible window of the process that has an owner: a message box over the frame.
HWND MessageBoxOf(DWORD processId) {
  ProcessWindow search{processId, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* search = reinterpret_cast<ProcessWindow*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner != search->processId || !IsWindowVisible(hwnd) || !GetWindow(hwnd, GW_OWNER)) return TRUE;
        search->found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The texts of a window's controls, one after the other.
std::wstring ChildTexts(HWND window) {
  std::wstring texts;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t text[1024]{};
    SendMessageW(child, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    texts += std::wstring(text) + L"\n";
  }
  return texts;
}

// Every visible top-level window of the process, owned ones (message boxes) included.
int VisibleWindowCountOf(DWORD processId) {
  struct Count {
    DWORD processId;
    int windows;
  } count{processId, 0};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* count = reinterpret_cast<Count*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == count->processId && IsWindowVisible(hwnd)) ++count->windows;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count.windows;
}

int PageCountOf(HWND frame) {
  HWND tabs = FindWindowExW(frame, nullptr, L"Sonarwick_TabView", nullptr);
  HWND strip = FindWindowExW(tabs, nullptr, WC_TABCONTROLW, nullptr);
  return strip != nullptr ? static_cast<int>(SendMessageW(strip, TCM_GETITEMCOUNT, 0, 0)) : -1;
}

TEST(SonarwickExe, OpensTheFilesOnItsCommandLineAndEndsWithExitCodeOneWhenClosed) {
  wchar_t temp[MAX_PATH]{};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder =
      std::wstring(temp) + L"sonarwick start " + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring first = folder + L"\\four times.bad", second = folder + L"\\no-entries.bad";
  WriteFileBytes(first, ReadFileBytes(SONARWICK_SAMPLES_DIR L"/four-times-of-day.bad"));
  WriteFileBytes(second, ReadFileBytes(SONARWICK_SAMPLES_DIR L"/no-entries.bad"));
  std::wstring commandLine =
      L"\"" SONARWICK_EXE L"\" \"" + first + L"\" no-entries.bad Z:\\nowhere\\ignored.bad /stray";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                             &startup, &process));
  UniqueFile processHandle(process.hProcess), threadHandle(process.hThread);

  HWND frame = nullptr;
  EXPECT_TRUE(
      PumpUntil([&] { return (frame = VisibleTopLevelWindowOf(process.dwProcessId)) != nullptr; }, 20000));
  if (frame != nullptr) {
    EXPECT_EQ(WindowText(frame), ExpectedCaption());
    // Wine keeps menus and class data inside their process; their contents are checked in
    // process above. The bars are there: the rebar holds the menu bar.
    EXPECT_NE(FindWindowExW(frame, nullptr, REBARCLASSNAMEW, nullptr), nullptr);
    EXPECT_TRUE(PumpUntil([&] { return PageCountOf(frame) == 2; }, 10000)) << PageCountOf(frame) << " pages";
    // Each name that opens nothing says so, one after the other, naming it.
    for (const wchar_t* name : {L"ignored.bad", L"stray"}) {
      HWND box = nullptr;
      EXPECT_TRUE(PumpUntil([&] { return (box = MessageBoxOf(process.dwProcessId)) != nullptr; }, 10000))
          << name;
      if (box == nullptr) break;
      EXPECT_NE(ChildTexts(box).find(name), std::wstring::npos) << name;
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      PumpUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 10000);
    }
    EXPECT_EQ(VisibleWindowCountOf(process.dwProcessId), 1);
    PostMessageW(frame, WM_CLOSE, 0, 0);
  } else {
    TerminateProcess(process.hProcess, 99);
  }
  ASSERT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);

  // The program file carries the icon the shell shows for it, in both sizes.
  HICON large = nullptr, small = nullptr;
  ASSERT_EQ(ExtractIconExW(SONARWICK_EXE, 0, &large, &small, 1), 2u);
  UniqueIcon largeIcon(large), smallIcon(small);
  EXPECT_EQ(IconSize(large).cx, 32);
  EXPECT_EQ(IconSize(small).cx, 16);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  EXPECT_EQ(exitCode, 1u);
  DeleteFileW(first.c_str());
  DeleteFileW(second.c_str());
  RemoveDirectoryW(folder.c_str());
}

}  // namespace
