// clang-format off
#include <windows.h>
#include <dlgs.h>
// clang-format on

#include "FrameTestSupport.h"

#include "WinTestSupport.h"
#include "win/AppModule.h"
#include "resources/ResourceIds.h"

namespace {

BOOL CALLBACK CollectStaticText(HWND child, LPARAM param) {
  wchar_t name[16]{};
  GetClassNameW(child, name, 16);
  if (lstrcmpiW(name, L"Static") != 0) return TRUE;
  wchar_t text[512]{};
  GetWindowTextW(child, text, 512);
  auto& collected = *reinterpret_cast<std::wstring*>(param);
  collected += text;
  return TRUE;
}

}  // namespace

Settings& TestSettings() {
  static Settings settings(kTestSettingsKey);
  return settings;
}

TestFrame::TestFrame() : MainFrame(TestSettings()) {}

bool TestFrame::Received(UINT id) const {
  for (UINT command : commands) {
    if (command == id) return true;
  }
  return false;
}

bool TestFrame::HandleMessage(Message& m) {
  if (m.msg == WM_COMMAND) commands.push_back(LOWORD(m.wParam));
  return MainFrame::HandleMessage(m);
}

void SendChord(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (WORD key : keys) inputs.push_back(KeyInput(key, false));
  for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) inputs.push_back(KeyInput(*key, true));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::wstring MessageBoxText(HWND box) {
  std::wstring text;
  EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
  return text;
}

std::wstring ClipboardText() {
  if (!OpenClipboard(nullptr)) return L"<clipboard busy>";
  std::wstring text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

void SetClipboardText(const std::wstring& text) {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  memcpy(GlobalLock(memory), text.c_str(), bytes);
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
}

// ---- fixture ----

MessageLoop* FrameTest::loop = nullptr;

void FrameTest::SetUpTestSuite() {
  TheAppModule().Initialize(GetModuleHandleW(nullptr));
  loop = new MessageLoop;
  TheAppModule().RegisterLoop(loop);
}

void FrameTest::TearDownTestSuite() {
  TheAppModule().UnregisterLoop();
  delete loop;
  loop = nullptr;
  TheAppModule().Terminate();
}

void FrameTest::SetUp() {
  RegDeleteTreeW(HKEY_CURRENT_USER, kTestSettingsKey);
  TestSettings().Load();
  frame = std::make_unique<TestFrame>();
  ASSERT_NE(frame->CreateFrame(), nullptr);
  SetWindowPos(Hwnd(), nullptr, 20, 20, 900, 640, SWP_NOZORDER);
  ShowWindow(Hwnd(), SW_SHOWNORMAL);
  BringToFront(Hwnd());
  Pump();

  wchar_t temp[MAX_PATH]{};
  GetTempPathW(MAX_PATH, temp);
  folder = std::wstring(temp) + L"sonarwick-frame-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(GetTickCount());
  CreateDirectoryW(folder.c_str(), nullptr);
}

void FrameTest::TearDown() {
  frame.reset();
  // The frame's last act: the quit message for the loop that would have run it.
  MSG quit;
  while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  for (const std::wstring& file : created) {
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(file.c_str());
  }
  RemoveDirectoryW(folder.c_str());
}

void FrameTest::Pump() {
  MSG msg;
  for (int pass = 0; pass < 3; ++pass) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (frame != nullptr && frame->Handle() != nullptr && frame->FilterMessage(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (frame != nullptr && frame->Handle() != nullptr) frame->DoIdle();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

void FrameTest::Command(UINT id) {
  SendMessageW(Hwnd(), WM_COMMAND, id, 0);
  Pump();
}

void FrameTest::CommandWithScript(UINT id, ModalScript& script) {
  SendMessageW(Hwnd(), WM_COMMAND, id, 0);
  EXPECT_FALSE(script.GaveUp());
  EXPECT_TRUE(script.Finished());
  Pump();
}

void FrameTest::AnswerFileDialog(ModalScript& script, const std::wstring& path) {
  auto dialog = std::make_shared<HWND>(nullptr);
  script.Then([dialog] { return (*dialog = FindThreadDialog()) != nullptr; },
              [dialog, path] {
                SetForegroundWindow(*dialog);
                HWND box = GetDlgItem(*dialog, cmb13);
                if (box == nullptr) box = GetDlgItem(*dialog, edt1);
                SetFocus(box);
                SendText(path.c_str());
                SendKey(VK_RETURN);
              });
}

void FrameTest::ReadAndCloseMessageBox(ModalScript& script, std::wstring& text, int button) {
  auto box = std::make_shared<HWND>(nullptr);
  script.Then([box] { return (*box = FindThreadDialog()) != nullptr; },
              [box, &text, button] {
                text = MessageBoxText(*box);
                PostMessageW(*box, WM_COMMAND, static_cast<WPARAM>(button), 0);
              });
}

void FrameTest::OpenFile(const std::wstring& path) {
  ModalScript open;
  AnswerFileDialog(open, path);
  CommandWithScript(CMD_FILE_OPEN, open);
}

void FrameTest::TypeIntoCell(int row, int col, const std::wstring& text) {
  AmbientView* view = frame->ActiveView();
  ASSERT_NE(view, nullptr);
  view->SelectCell(row, col);
  ASSERT_TRUE(view->OpenEditor(view->GetCellItem(row, col), row, col));
  HWND editor = view->GetEditor();
  SendMessageW(editor, EM_SETSEL, 0, -1);
  for (wchar_t character : text) SendMessageW(editor, WM_CHAR, character, 1);
  Pump();
}

std::wstring FrameTest::StatusText() const {
  // In simple mode the status bar gives its simple text for part 0.
  wchar_t text[256]{};
  SendMessageW(frame->StatusBarWindow(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
  return text;
}

bool FrameTest::StatusShows(const std::wstring& expected) const {
  const std::wstring shown = StatusText();
  if (shown == expected) return true;
  if (shown.size() < 2 || shown.back() != L'\u2026') return false;
  return expected.compare(0, shown.size() - 1, shown, 0, shown.size() - 1) == 0;
}

std::wstring FrameTest::CopyOfSample(const wchar_t* name) {
  std::wstring copy = TempFile(name);
  WriteFileBytes(copy, ReadFileBytes(std::wstring(L"" SONARWICK_SAMPLES_DIR) + L"/" + name));
  return copy;
}

std::wstring FrameTest::TempFile(const std::wstring& name) {
  std::wstring path = folder + L"\\" + name;
  created.push_back(path);
  return path;
}

std::vector<std::wstring> FrameTest::PageTitles() const {
  std::vector<std::wstring> titles;
  for (int page = 0; page < frame->Tabs().GetPageCount(); ++page)
    titles.push_back(frame->Tabs().GetPageTitle(page));
  return titles;
}

RECT FrameTest::ChildRect(HWND child) const {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool FrameTest::ToolbarButtonEnabled(UINT id) const {
  return SendMessageW(frame->ToolbarWindow(), TB_ISBUTTONENABLED, id, 0) != 0;
}

bool FrameTest::ViewItemChecked(UINT id) const {
  HMENU view = GetSubMenu(frame->MenuBar().GetMenu(), 2);
  SendMessageW(Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 2);
  return (GetMenuState(view, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}
