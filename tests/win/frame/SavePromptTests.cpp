#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FrameTestSupport.h"
#include "WinTestSupport.h"
#include "commands/CommandStrings.h"
#include "resources/ResourceIds.h"

namespace {

constexpr int kVolumeColumn = 5;
constexpr int kVolumeOffset = 2 + 112;

using SavePrompt = FrameTest;

std::int32_t Int32At(const std::vector<char>& bytes, size_t offset) {
  std::int32_t value = 0;
  memcpy(&value, bytes.data() + offset, sizeof(value));
  return value;
}

// What the grid shows is what Save writes: an open cell is committed first, and a value the
// cell refuses stops the save with the reason in the status bar and the editor still open.
TEST_F(SavePrompt, SaveCommitsTheOpenCellAndStopsOnARefusedValue) {
  const std::wstring path = CopyOfSample(L"four-times-of-day.bad");
  OpenFile(path);
  AmbientView* view = frame->ActiveView();
  ASSERT_NE(view, nullptr);

  TypeIntoCell(0, kVolumeColumn, L"31415");
  Command(CMD_FILE_SAVE);
  EXPECT_EQ(Int32At(ReadFileBytes(path), kVolumeOffset), 31415);
  EXPECT_EQ(view->GetEditor(), nullptr);
  EXPECT_FALSE(view->IsModified());

  const std::vector<char> saved = ReadFileBytes(path);
  TypeIntoCell(1, kVolumeColumn, L"12x");
  Command(CMD_FILE_SAVE);
  EXPECT_EQ(ReadFileBytes(path), saved);
  ASSERT_NE(view->GetEditor(), nullptr);
  EXPECT_EQ(GetFocus(), view->GetEditor());
  EXPECT_EQ(WindowText(view->GetEditor()), L"12x");
  EXPECT_EQ(StatusText(), LoadCommandString(STR_REFUSED_NUMBER));
  // A refused value changed nothing; the editor holds it until it is mended or dropped.
  EXPECT_FALSE(view->IsModified());

  // Mended, the same road saves; the reason goes with the next edit.
  SendMessageW(view->GetEditor(), EM_SETSEL, 0, -1);
  SendMessageW(view->GetEditor(), WM_CHAR, L'7', 1);
  Command(CMD_FILE_SAVE);
  EXPECT_EQ(Int32At(ReadFileBytes(path), kVolumeOffset + 116), 7);
  EXPECT_EQ(StatusText(), LoadCommandString(STR_READY));
}

// With the time-of-day list dropped, Save closes it as Escape would (the shown value stays),
// ends the edit and writes the file; a name the file cannot store is refused as it is typed.
TEST_F(SavePrompt, SaveEndsADroppedListEditAndANameIsRefusedWhenTyped) {
  const std::wstring path = CopyOfSample(L"four-times-of-day.bad");
  const std::vector<char> original = ReadFileBytes(path);
  OpenFile(path);
  AmbientView* view = frame->ActiveView();
  ASSERT_NE(view, nullptr);
  TypeIntoCell(0, kVolumeColumn, L"31415");
  SendMessageW(view->GetEditor(), WM_KEYDOWN, VK_RETURN, 0);
  Pump();
  view->SelectCell(0, 4);
  SetFocus(view->Handle());
  SendChord({VK_F2});
  Pump();
  SendChord({VK_END});
  Pump();
  ASSERT_NE(view->GetEditor(), nullptr);
  SendChord({VK_CONTROL, 'S'});
  Pump();
  const std::vector<char> saved = ReadFileBytes(path);
  EXPECT_EQ(Int32At(saved, kVolumeOffset), 31415);
  EXPECT_EQ(saved[2 + 8], original[2 + 8]) << "the time of day shown before End";
  EXPECT_EQ(view->GetEditor(), nullptr);
  EXPECT_FALSE(view->IsModified());

  const bool russian = GetACP() == 1251;
  TypeIntoCell(1, 1, russian ? L"ü.ogg" : L"лес.ogg");
  SendMessageW(view->GetEditor(), WM_KEYDOWN, VK_RETURN, 0);
  Pump();
  EXPECT_NE(view->GetEditor(), nullptr);
  EXPECT_NE(StatusText().find(russian ? L"U+00FC" : L"U+043B"), std::wstring::npos) << StatusText();
  EXPECT_FALSE(view->IsModified());
  TypeIntoCell(1, 1, std::wstring(110, L'a'));
  SendMessageW(view->GetEditor(), WM_KEYDOWN, VK_RETURN, 0);
  Pump();
  EXPECT_NE(view->GetEditor(), nullptr);
  EXPECT_NE(StatusText().find(L"102"), std::wstring::npos) << StatusText();
}

// Window > Close on a modified document: Cancel keeps it, No drops the changes unsaved.
TEST_F(SavePrompt, ClosingAModifiedPageAsksWhetherToSave) {
  const std::wstring path = CopyOfSample(L"four-times-of-day.bad");
  const std::vector<char> original = ReadFileBytes(path);
  OpenFile(path);
  TypeIntoCell(0, kVolumeColumn, L"99");

  ModalScript cancel;
  std::wstring question;
  ReadAndCloseMessageBox(cancel, question, IDCANCEL);
  CommandWithScript(CMD_WINDOW_CLOSE, cancel);
  EXPECT_EQ(question, RussianInterface() ? L"Сохранить изменения в «four-times-of-day.bad»?"
                                         : L"Save changes to “four-times-of-day.bad”?");
  ASSERT_EQ(frame->Tabs().GetPageCount(), 1);
  EXPECT_TRUE(frame->ActiveView()->IsModified());  // the open cell was committed before asking

  ModalScript discard;
  ReadAndCloseMessageBox(discard, question, IDNO);
  CommandWithScript(CMD_WINDOW_CLOSE, discard);
  EXPECT_EQ(frame->Tabs().GetPageCount(), 0);
  EXPECT_EQ(ReadFileBytes(path), original);
}

// Close All asks for each modified page in tab order; an untouched new document goes unasked.
TEST_F(SavePrompt, CloseAllSavesEachModifiedPageTheUserKeeps) {
  const std::wstring first = CopyOfSample(L"four-times-of-day.bad");
  const std::wstring second = CopyOfSample(L"bytes-behind-terminators.bad");
  OpenFile(first);
  TypeIntoCell(0, kVolumeColumn, L"11");
  OpenFile(second);
  TypeIntoCell(0, kVolumeColumn, L"22");
  Command(CMD_FILE_NEW);

  // The second box comes up the moment the first goes: no tick of the script sees none between.
  ModalScript answers;
  std::wstring firstQuestion, secondQuestion;
  auto box = std::make_shared<HWND>(nullptr);
  for (std::wstring* question : {&firstQuestion, &secondQuestion}) {
    answers.Then(
        [box] {
          HWND shown = FindThreadDialog();
          if (shown == nullptr || shown == *box) return false;
          *box = shown;
          return true;
        },
        [box, question] {
          *question = MessageBoxText(*box);
          PostMessageW(*box, WM_COMMAND, IDYES, 0);
        });
  }
  CommandWithScript(CMD_WINDOW_CLOSE_ALL, answers);
  EXPECT_NE(firstQuestion.find(L"four-times-of-day.bad"), std::wstring::npos);
  EXPECT_NE(secondQuestion.find(L"bytes-behind-terminators.bad"), std::wstring::npos);
  EXPECT_EQ(frame->Tabs().GetPageCount(), 0);
  EXPECT_EQ(Int32At(ReadFileBytes(first), kVolumeOffset), 11);
  EXPECT_EQ(Int32At(ReadFileBytes(second), kVolumeOffset), 22);
}

// The frame's own close (Exit, Alt+F4, the close box) and the end of the session: Cancel keeps
// everything; after No the frame goes down, ending the loop with 1, and nothing of it is freed
// while its own handlers still run.
TEST_F(SavePrompt, ClosingTheFrameAsksAndCancelKeepsItOpen) {
  const std::wstring path = CopyOfSample(L"four-times-of-day.bad");
  const std::vector<char> original = ReadFileBytes(path);
  OpenFile(path);
  TypeIntoCell(0, kVolumeColumn, L"5");

  ModalScript endSession;
  std::wstring question;
  ReadAndCloseMessageBox(endSession, question, IDCANCEL);
  EXPECT_EQ(SendMessageW(Hwnd(), WM_QUERYENDSESSION, 0, 0), FALSE);
  EXPECT_TRUE(endSession.Finished());

  ModalScript cancel;
  ReadAndCloseMessageBox(cancel, question, IDCANCEL);
  SendMessageW(Hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(cancel.Finished());
  ASSERT_TRUE(IsWindow(Hwnd()));
  EXPECT_EQ(frame->Tabs().GetPageCount(), 1);

  const int destroyedEarlierInThisProcess = Window::DestroyedWhileDispatching();
  HWND hwnd = Hwnd();
  ModalScript discard;
  ReadAndCloseMessageBox(discard, question, IDNO);
  PostMessageW(hwnd, WM_COMMAND, CMD_APP_EXIT, 0);
  MSG msg;
  int exitCode = -1;
  while (exitCode == -1 && GetMessageW(&msg, nullptr, 0, 0) != -1) {
    if (msg.message == WM_QUIT) exitCode = static_cast<int>(msg.wParam);
    DispatchMessageW(&msg);
  }
  EXPECT_TRUE(discard.Finished());
  EXPECT_EQ(exitCode, 1);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(frame->ViewCount(), 0u);
  EXPECT_EQ(Window::DestroyedWhileDispatching(), destroyedEarlierInThisProcess);
  EXPECT_EQ(ReadFileBytes(path), original);
}

}  // namespace
