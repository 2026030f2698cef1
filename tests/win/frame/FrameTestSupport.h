#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "ShellTestSupport.h"
#include "app/MainFrame.h"
#include "win/MessageLoop.h"

// The real frame, recording the commands that reach it before its own handling.
class TestFrame : public MainFrame {
 public:
  TestFrame();
  std::vector<UINT> commands;
  bool Received(UINT id) const;

 protected:
  bool HandleMessage(Message& m) override;
};

// The settings the test frames keep, under a key of their own that every test starts without.
Settings& TestSettings();
constexpr const wchar_t* kTestSettingsKey = L"Software\\Sonarwick\\FrameTests";

// Keys sent as real input without pumping, so that the frame's own pump (with its filter)
// is the one that takes them.
void SendChord(std::initializer_list<WORD> keys);

// Texts of the static controls of a message box (its message).
std::wstring MessageBoxText(HWND box);

std::wstring ClipboardText();
void SetClipboardText(const std::wstring& text);

// One frame per test, created and shown the way start-up does, inside a registered loop.
class FrameTest : public testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;

  HWND Hwnd() const { return frame->Handle(); }
  // Runs the queue as the thread's loop does: filter, translate and dispatch, and one idle
  // pass whenever the queue has run empty.
  void Pump();
  void Command(UINT id);
  // A command whose handler runs a modal loop (dialog or message box): posted, then pumped
  // until the script is done and the loop is over.
  void CommandWithScript(UINT id, ModalScript& script);

  // Steps that answer the open or save dialog with `path`.
  static void AnswerFileDialog(ModalScript& script, const std::wstring& path);
  // Steps that read the message box's text into `text` and close it with `button`.
  static void ReadAndCloseMessageBox(ModalScript& script, std::wstring& text, int button = IDOK);

  // Opens `path` through the open dialog, as the user does.
  void OpenFile(const std::wstring& path);
  // Types `text` into the editor of a cell of the active document and leaves it open.
  void TypeIntoCell(int row, int col, const std::wstring& text);
  // The status bar's line as the user reads it (its simple text in simple mode).
  std::wstring StatusText() const;
  // Whether the status bar shows `expected`: whole, or, in a bar too narrow for it, a beginning of
  // it followed by an ellipsis.
  bool StatusShows(const std::wstring& expected) const;

  std::wstring CopyOfSample(const wchar_t* name);
  std::wstring TempFile(const std::wstring& name);

  std::vector<std::wstring> PageTitles() const;
  RECT ChildRect(HWND child) const;
  bool ToolbarButtonEnabled(UINT id) const;
  // Check mark of a View item as the popup shows it when it opens.
  bool ViewItemChecked(UINT id) const;

  static MessageLoop* loop;
  std::unique_ptr<TestFrame> frame;
  std::wstring folder;
  std::vector<std::wstring> created;
};
