#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WinTestSupport.h"
#include "win/Reflection.h"
#include "win/Window.h"

namespace {

const WindowClass* TestClass() { return RegisterWindowClass(L"Sonarwick_TestWindow"); }

// Records the messages it sees; consumes WM_USER with a result chosen by the test.
class RecordingWindow : public Window {
 public:
  std::vector<UINT> seen;
  UINT firstMessage = 0;
  LRESULT userResult = 0;

 protected:
  bool HandleMessage(Message& m) override {
    if (seen.empty()) firstMessage = m.msg;
    seen.push_back(m.msg);
    if (m.msg == WM_USER) {
      m.result = userResult;
      return true;
    }
    return Window::HandleMessage(m);
  }
};

// A derived class's handlers run before its base's and may pass the message on.
class DerivedWindow : public RecordingWindow {
 public:
  std::wstring trail;

 protected:
  bool HandleMessage(Message& m) override {
    if (m.msg == WM_USER) trail += L"derived ";
    if (m.msg == WM_USER + 1) {
      trail += L"derived-consumed ";
      m.result = 7;
      return true;
    }
    return RecordingWindow::HandleMessage(m);
  }
};

RECT SmallRect() { return RECT{10, 10, 210, 110}; }

TEST(WindowObjects, BindBeforeFirstMessageAndDispatchInHandlerOrder) {
  DerivedWindow window;
  window.userResult = 42;
  HWND hwnd = window.Create(TestClass(), nullptr, SmallRect(), L"test", WS_OVERLAPPEDWINDOW);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(window.Handle(), hwnd);
  EXPECT_EQ(Window::FromHandle(hwnd), &window);
  // The very first message the window ever receives already reaches the object.
  EXPECT_TRUE(window.firstMessage == WM_GETMINMAXINFO || window.firstMessage == WM_NCCREATE);

  EXPECT_EQ(SendMessageW(hwnd, WM_USER, 0, 0), 42);
  EXPECT_EQ(SendMessageW(hwnd, WM_USER + 1, 0, 0), 7);
  EXPECT_EQ(window.trail, L"derived derived-consumed ");
  // Unconsumed messages get the default processing.
  EXPECT_EQ(SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"changed")), TRUE);
  wchar_t text[32]{};
  GetWindowTextW(hwnd, text, 32);
  EXPECT_STREQ(text, L"changed");
}

TEST(WindowObjects, DestroyingTheObjectDestroysItsWindow) {
  HWND hwnd;
  {
    RecordingWindow window;
    hwnd = window.Create(TestClass(), nullptr, SmallRect(), L"", WS_OVERLAPPEDWINDOW);
    ASSERT_TRUE(IsWindow(hwnd));
  }
  EXPECT_FALSE(IsWindow(hwnd));
}

// Deletes itself after its last message; counts how often that happens.
class SelfDeletingWindow : public Window {
 public:
  explicit SelfDeletingWindow(int* deletions) : deletions_(deletions) {}
  ~SelfDeletingWindow() override { ++*deletions_; }
  bool destroyFromHandler = false;

 protected:
  bool HandleMessage(Message& m) override {
    if (m.msg == WM_USER && destroyFromHandler) {
      // The window dies inside this handler; the object must outlive the handler.
      DestroyWindow(m.hwnd);
      m.result = 5;
      return true;
    }
    return Window::HandleMessage(m);
  }
  void OnFinalMessage() override { delete this; }

 private:
  int* deletions_;
};

TEST(WindowObjects, SelfDeletingObjectsAreDeletedOnceAfterTheLastMessage) {
  int deletions = 0;
  auto* closed = new SelfDeletingWindow(&deletions);
  HWND hwnd = closed->Create(TestClass(), nullptr, SmallRect(), L"", WS_OVERLAPPEDWINDOW);
  ASSERT_NE(hwnd, nullptr);
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(deletions, 1);

  auto* destroyedInside = new SelfDeletingWindow(&deletions);
  destroyedInside->destroyFromHandler = true;
  hwnd = destroyedInside->Create(TestClass(), nullptr, SmallRect(), L"", WS_OVERLAPPEDWINDOW);
  EXPECT_EQ(SendMessageW(hwnd, WM_USER, 0, 0), 5);
  EXPECT_EQ(deletions, 2);

  // A child that deletes itself goes with its parent, once.
  RecordingWindow parent;
  parent.Create(TestClass(), nullptr, SmallRect(), L"", WS_OVERLAPPEDWINDOW);
  auto* child = new SelfDeletingWindow(&deletions);
  child->Create(TestClass(), parent.Handle(), RECT{0, 0, 10, 10}, L"", WS_CHILD);
  DestroyWindow(parent.Handle());
  EXPECT_EQ(deletions, 3);
}

// A superclass of EDIT: our handlers first, then the edit control's own behaviour.
class UpperCaseEdit : public Window {
 protected:
  bool HandleMessage(Message& m) override {
    if (m.msg == WM_CHAR && m.wParam >= L'a' && m.wParam <= L'z') {
      Message upper = m;
      upper.wParam = m.wParam - L'a' + L'A';
      m.result = CallDefault(upper);
      return true;
    }
    return Window::HandleMessage(m);
  }
};

TEST(WindowObjects, SuperclassGetsTheSystemControlAsDefaultProcessing) {
  const WindowClass* editClass = RegisterSuperclass(L"EDIT", L"Sonarwick_TestEdit");
  ASSERT_NE(editClass, nullptr);
  EXPECT_EQ(RegisterSuperclass(L"EDIT", L"Sonarwick_TestEdit"), editClass);  // once per process
  UpperCaseEdit edit;
  HWND hwnd = edit.Create(editClass, nullptr, SmallRect(), L"", WS_POPUP);
  ASSERT_NE(hwnd, nullptr);
  for (wchar_t c : std::wstring(L"ab1")) SendMessageW(hwnd, WM_CHAR, c, 1);
  wchar_t text[16]{};
  GetWindowTextW(hwnd, text, 16);
  EXPECT_STREQ(text, L"AB1");
  EXPECT_EQ(SendMessageW(hwnd, EM_GETLIMITTEXT, 0, 0) > 0, true);
}

TEST(WindowObjects, SubclassingAControlAndLettingItGo) {
  RecordingWindow parent;
  parent.Create(TestClass(), nullptr, SmallRect(), L"", WS_OVERLAPPEDWINDOW);
  HWND button = CreateWindowExW(0, L"BUTTON", L"b", WS_CHILD | BS_PUSHBUTTON, 0, 0, 50, 20,
                                parent.Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  {
    RecordingWindow subclass;
    subclass.userResult = 9;
    ASSERT_TRUE(subclass.Subclass(button));
    EXPECT_EQ(Window::FromHandle(button), &subclass);
    EXPECT_EQ(SendMessageW(button, WM_USER, 0, 0), 9);
    SendMessageW(button, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x"));
    wchar_t text[8]{};
    GetWindowTextW(button, text, 8);
    EXPECT_STREQ(text, L"x");
  }
  // The subclass is gone with its object; the control lives on with its own behaviour.
  EXPECT_TRUE(IsWindow(button));
  EXPECT_EQ(Window::FromHandle(button), nullptr);
  EXPECT_EQ(SendMessageW(button, WM_USER, 0, 0), 0);
}

// Reflects what its children send, as the frame does.
class ReflectingParent : public Window {
 protected:
  bool HandleMessage(Message& m) override {
    if (ReflectNotification(m)) return true;
    return Window::HandleMessage(m);
  }
};

class NotifyingChild : public Window {
 public:
  std::vector<UINT> reflected;

 protected:
  bool HandleMessage(Message& m) override {
    if (m.msg == REFLECT_BASE + WM_NOTIFY) {
      reflected.push_back(m.msg);
      m.result = reinterpret_cast<NMHDR*>(m.lParam)->code == 1 ? 77 : 0;
      return reinterpret_cast<NMHDR*>(m.lParam)->code == 1;
    }
    if (m.msg == REFLECT_BASE + WM_COMMAND) reflected.push_back(m.msg);
    return Window::HandleMessage(m);
  }
};

TEST(WindowObjects, ReflectedNotificationsComeBackToTheSender) {
  ReflectingParent parent;
  parent.Create(TestClass(), nullptr, SmallRect(), L"", WS_OVERLAPPEDWINDOW);
  NotifyingChild child;
  HWND hwnd = child.Create(TestClass(), parent.Handle(), RECT{0, 0, 20, 20}, L"", WS_CHILD, 0,
                           reinterpret_cast<HMENU>(5));
  NMHDR header{hwnd, 5, 1};
  EXPECT_EQ(SendMessageW(parent.Handle(), WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)), 77);
  // Unhandled reflections get the default answer for the original message.
  header.code = 2;
  EXPECT_EQ(SendMessageW(parent.Handle(), WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)), 0);
  SendMessageW(parent.Handle(), WM_COMMAND, MAKEWPARAM(5, 0), reinterpret_cast<LPARAM>(hwnd));
  EXPECT_EQ(child.reflected, (std::vector<UINT>{0x204E, 0x204E, 0x2111}));
  // A menu command names no child and is not reflected.
  Message menuCommand{parent.Handle(), WM_COMMAND, 100, 0};
  EXPECT_FALSE(ReflectNotification(menuCommand));
}

}  // namespace
