#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FrameTestSupport.h"
#include "WinTestSupport.h"
#include "commands/CommandStrings.h"
#include "documents/RecoveryStore.h"
#include "resources/ResourceIds.h"
#include "resources/WindowPageIds.h"
// The common dialogs' control ids need the base declarations first.
#include <dlgs.h>

namespace {

constexpr int kVolumeColumn = 5;
constexpr wchar_t kSample[] = L"four-times-of-day.bad";

using OutsideWorld = FrameTest;

// Records every message box the frame shows while the script runs, answering each with
// `button`; an unexpected box is answered too, so a wrong test fails instead of hanging.
struct BoxRecorder {
  explicit BoxRecorder(ModalScript& script, int button, int expected) {
    for (int index = 0; index < expected; ++index) {
      auto box = std::make_shared<HWND>(nullptr);
      script.Then([box] { return (*box = FindThreadDialog()) != nullptr; },
                  [this, box, button] {
                    texts.push_back(MessageBoxText(*box));
                    PostMessageW(*box, WM_COMMAND, static_cast<WPARAM>(button), 0);
                  });
    }
  }
  std::vector<std::wstring> texts;
};

// The frame comes to the front; its check runs from the posted message, in the test's pump.
void Activate(HWND frame) { SendMessageW(frame, WM_ACTIVATEAPP, TRUE, 0); }

// A second close while the save prompt is up, posted or from the end of the session, is
// ignored: one prompt only, and the frame and its modified page outlive both.
TEST_F(OutsideWorld, CloseRequestsWhileThePromptIsUpAreIgnored) {
  OpenFile(CopyOfSample(kSample));
  TypeIntoCell(0, kVolumeColumn, L"99");

  ModalScript script;
  auto prompt = std::make_shared<HWND>(nullptr);
  LRESULT endSession = TRUE;
  HWND secondBox = nullptr;
  script
      .Then([prompt] { return (*prompt = FindThreadDialog()) != nullptr; },
            [&] {
              EXPECT_TRUE(frame->QuestionIsUp());
              PostMessageW(Hwnd(), WM_CLOSE, 0, 0);
              endSession = SendMessageW(Hwnd(), WM_QUERYENDSESSION, 0, 0);
            })
      .Then([] { return true; },
            [&] {
              // The posted close went through the prompt's own loop by now.
              secondBox = FindThreadDialog(*prompt);
              if (secondBox != nullptr) PostMessageW(secondBox, WM_COMMAND, IDCANCEL, 0);
              PostMessageW(*prompt, WM_COMMAND, IDCANCEL, 0);
            });
  SendMessageW(Hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(script.Finished());
  Pump();
  EXPECT_EQ(endSession, FALSE);
  EXPECT_EQ(secondBox, nullptr);
  ASSERT_TRUE(IsWindow(Hwnd()));
  ASSERT_EQ(frame->Tabs().GetPageCount(), 1);
  EXPECT_TRUE(frame->ActiveView()->IsModified());
  EXPECT_FALSE(frame->QuestionIsUp());
}

// The frame's other dialogs are questions too: while About, Windows... or the sound folder's
// dialog is up, neither a close nor the end of the session takes the frame from under it.
TEST_F(OutsideWorld, EveryDialogCountsAsAQuestion) {
  for (const UINT id : {UINT{CMD_APP_ABOUT}, UINT{CMD_WINDOW_LIST_MORE}, UINT{CMD_VIEW_SOUND_FOLDER}}) {
    ModalScript script;
    auto dialog = std::make_shared<HWND>(nullptr);
    bool questionUp = false;
    LRESULT endSession = TRUE;
    script
        .Then([dialog] { return (*dialog = FindThreadDialog()) != nullptr; },
              [&, dialog] {
                questionUp = frame->QuestionIsUp();
                endSession = SendMessageW(Hwnd(), WM_QUERYENDSESSION, 0, 0);
                PostMessageW(Hwnd(), WM_CLOSE, 0, 0);
              })
        .Then([] { return true; }, [dialog] { PostMessageW(*dialog, WM_COMMAND, IDCANCEL, 0); });
    CommandWithScript(id, script);
    EXPECT_TRUE(questionUp) << id;
    EXPECT_EQ(endSession, FALSE) << id;
    ASSERT_TRUE(IsWindow(Hwnd())) << id;
    EXPECT_FALSE(frame->QuestionIsUp()) << id;
  }
}

// The question whether to save over a file whose count left records out is a question like
// any other: while it is up the end of the session is refused and nothing closes the frame.
TEST_F(OutsideWorld, TheQuestionBeforeSavingOverADamagedFileCounts) {
  const std::wstring path = TempFile(L"damaged.bad");
  std::vector<char> damaged(2 + 116 * 4, 0);
  damaged[0] = damaged[1] = static_cast<char>(0xFF);
  WriteFileBytes(path, damaged);
  ModalScript open;
  std::wstring told;
  AnswerFileDialog(open, path);
  ReadAndCloseMessageBox(open, told);
  CommandWithScript(CMD_FILE_OPEN, open);
  ASSERT_EQ(frame->Tabs().GetPageCount(), 1);

  ModalScript save;
  auto box = std::make_shared<HWND>(nullptr);
  bool questionUp = false;
  LRESULT endSession = TRUE;
  save.Then([box] { return (*box = FindThreadDialog()) != nullptr; },
            [&] {
              questionUp = frame->QuestionIsUp();
              endSession = SendMessageW(Hwnd(), WM_QUERYENDSESSION, 0, 0);
            })
      .Then([] { return true; }, [box] { PostMessageW(*box, WM_COMMAND, IDNO, 0); });
  CommandWithScript(CMD_FILE_SAVE, save);
  EXPECT_TRUE(save.Finished());
  EXPECT_TRUE(questionUp);
  EXPECT_EQ(endSession, FALSE);
  ASSERT_TRUE(IsWindow(Hwnd()));
  EXPECT_FALSE(frame->QuestionIsUp());
  EXPECT_EQ(ReadFileBytes(path), damaged);
}

// An unmodified page whose file another program rewrote offers a reload, once per change; Yes
// shows the new entries. A file that goes away is told once, and the document, now modified,
// is what Save writes back.
TEST_F(OutsideWorld, ChangesOnDiskAreAskedAboutOncePerChange) {
  const std::wstring path = CopyOfSample(kSample);
  OpenFile(path);
  AmbientView* view = frame->ActiveView();
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(view->GetEntryCount(), 4);

  const std::vector<char> other =
      ReadFileBytes(std::wstring(L"" SONARWICK_SAMPLES_DIR) + L"/hundred-entries.bad");
  WriteFileBytes(path, other);
  {
    ModalScript script;
    BoxRecorder boxes(script, IDYES, 1);
    Activate(Hwnd());
    Pump();
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], FormatCommandString(STR_DISK_CHANGED_RELOAD, kSample));
  }
  EXPECT_EQ(frame->Tabs().GetPageCount(), 1);
  EXPECT_EQ(frame->ActiveView(), view);
  EXPECT_EQ(view->GetEntryCount(), 100);
  EXPECT_FALSE(view->IsModified());
  EXPECT_FALSE(view->CanUndo());

  // Changed again and answered No: the next activation does not ask about the same change.
  WriteFileBytes(path, ReadFileBytes(std::wstring(L"" SONARWICK_SAMPLES_DIR) + L"/no-entries.bad"));
  for (int activation = 0; activation < 2; ++activation) {
    ModalScript script;
    BoxRecorder boxes(script, IDNO, 1);
    Activate(Hwnd());
    Pump();
    EXPECT_EQ(boxes.texts.size(), activation == 0 ? 1u : 0u);
  }
  EXPECT_EQ(view->GetEntryCount(), 100);

  ASSERT_TRUE(DeleteFileW(path.c_str()));
  for (int activation = 0; activation < 2; ++activation) {
    ModalScript script;
    BoxRecorder boxes(script, IDOK, 1);
    Activate(Hwnd());
    Pump();
    ASSERT_EQ(boxes.texts.size(), activation == 0 ? 1u : 0u);
    if (activation == 0) {
      EXPECT_EQ(boxes.texts[0], FormatCommandString(STR_DISK_FILE_GONE, kSample));
    }
  }
  EXPECT_TRUE(view->IsModified());
  Command(CMD_FILE_SAVE);
  EXPECT_EQ(ReadFileBytes(path), other);
  EXPECT_FALSE(view->IsModified());
}

// A save over another program's change asks every time until the user chooses: No keeps the
// other program's file, and so does a reload the user wanted that then failed.
TEST_F(OutsideWorld, TheOverwriteQuestionComesBackUntilTheUserChooses) {
  const std::wstring path = CopyOfSample(kSample);
  OpenFile(path);
  TypeIntoCell(0, kVolumeColumn, L"77");
  ASSERT_TRUE(frame->ActiveView()->CommitEdit());
  const std::vector<char> other =
      ReadFileBytes(std::wstring(L"" SONARWICK_SAMPLES_DIR) + L"/hundred-entries.bad");
  WriteFileBytes(path, other);
  const std::wstring overwrite = FormatCommandString(STR_DISK_CHANGED_OVERWRITE, kSample);
  for (int save = 0; save < 2; ++save) {
    ModalScript script;
    BoxRecorder boxes(script, IDNO, 1);
    Command(CMD_FILE_SAVE);
    EXPECT_EQ(boxes.texts, std::vector<std::wstring>{overwrite}) << "save " << save;
  }
  EXPECT_EQ(ReadFileBytes(path), other);

  // A count above what a document holds: the reload the user asks for fails.
  const std::vector<char> unreadable{'\xff', '\x7f'};
  WriteFileBytes(path, unreadable);
  {
    ModalScript script;
    BoxRecorder boxes(script, IDYES, 2);
    Activate(Hwnd());
    Pump();
    ASSERT_EQ(boxes.texts.size(), 2u);
    EXPECT_EQ(boxes.texts[0], FormatCommandString(STR_DISK_CHANGED_RELOAD_MODIFIED, kSample));
  }
  EXPECT_TRUE(frame->ActiveView()->IsModified());
  {
    ModalScript script;
    BoxRecorder boxes(script, IDNO, 1);
    Command(CMD_FILE_SAVE);
    EXPECT_EQ(boxes.texts, std::vector<std::wstring>{overwrite});
  }
  EXPECT_EQ(ReadFileBytes(path), unreadable);
  {
    ModalScript script;
    BoxRecorder boxes(script, IDYES, 1);
    Command(CMD_FILE_SAVE);
    EXPECT_EQ(boxes.texts, std::vector<std::wstring>{overwrite});
  }
  EXPECT_FALSE(frame->ActiveView()->IsModified());
  EXPECT_NE(ReadFileBytes(path), unreadable);
}

// A modified document has a recovery copy holding what Save would write; saving removes it.
// A copy left by a process that no longer runs is offered, and Yes restores it as a modified
// page bound to its file.
TEST_F(OutsideWorld, RecoveryCopiesFollowTheDocumentAndComeBackAfterACrash) {
  const std::wstring recovery = folder + L"\\recovery";
  frame->KeepRecoveryCopies(recovery);
  const std::wstring path = CopyOfSample(kSample);
  OpenFile(path);
  AmbientView* view = frame->ActiveView();
  TypeIntoCell(0, kVolumeColumn, L"4242");
  ASSERT_TRUE(view->CommitEdit());
  Pump();
  // The copy is written shortly after the last command, not while its key is handled.
  const DWORD start = GetTickCount();
  WIN32_FIND_DATAW probe{};
  HANDLE written = INVALID_HANDLE_VALUE;
  while ((written = FindFirstFileW((recovery + L"\\*.recovery").c_str(), &probe)) == INVALID_HANDLE_VALUE &&
         GetTickCount() - start < 5000) {
    Sleep(50);
    Pump();
  }
  if (written != INVALID_HANDLE_VALUE) FindClose(written);

  RecoveryStore other(recovery);
  EXPECT_TRUE(other.FindOrphans().empty()) << "this process's copies are nobody's orphans";
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((recovery + L"\\*.recovery").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  FindClose(search);
  const std::wstring copyFile = recovery + L"\\" + found.cFileName;
  const std::vector<char> raw = ReadFileBytes(copyFile);
  RecoveryCopy copy;
  ASSERT_TRUE(RecoveryStore::Deserialize(
      std::vector<std::byte>(reinterpret_cast<const std::byte*>(raw.data()),
                             reinterpret_cast<const std::byte*>(raw.data()) + raw.size()),
      copy));
  // The sample as it is on disk, with the first entry's volume (offset 112 of the record after
  // the 2-byte count) made 4242 = 0x1092, little-endian.
  std::vector<char> sample = ReadFileBytes(std::wstring(L"" SONARWICK_SAMPLES_DIR) + L"/" + kSample);
  ASSERT_GE(sample.size(), 2u + 116);
  sample[2 + 112] = '\x92';
  sample[2 + 113] = '\x10';
  sample[2 + 114] = sample[2 + 115] = 0;
  const std::vector<std::byte> expected(reinterpret_cast<const std::byte*>(sample.data()),
                                        reinterpret_cast<const std::byte*>(sample.data()) + sample.size());
  EXPECT_EQ(copy.bytes, expected);
  EXPECT_EQ(copy.path, path);
  EXPECT_EQ(copy.title, kSample);

  Command(CMD_FILE_SAVE);
  EXPECT_EQ(GetFileAttributesW(copyFile.c_str()), INVALID_FILE_ATTRIBUTES);

  // As a process that ended without closing leaves it: an id and start time that run no more.
  std::vector<std::byte> left = RecoveryStore::Serialize(copy);
  const std::wstring orphan = recovery + L"\\4294967291-0000000000000001-1.recovery";
  WriteFileBytes(orphan, std::vector<char>(reinterpret_cast<const char*>(left.data()),
                                           reinterpret_cast<const char*>(left.data()) + left.size()));
  Command(CMD_WINDOW_CLOSE);
  ASSERT_EQ(frame->Tabs().GetPageCount(), 0);
  {
    ModalScript script;
    BoxRecorder boxes(script, IDYES, 1);
    EXPECT_EQ(frame->OfferRecovery(), 1);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], FormatCommandString(STR_RECOVERY_OFFER, L"1"));
  }
  EXPECT_EQ(GetFileAttributesW(orphan.c_str()), INVALID_FILE_ATTRIBUTES);
  ASSERT_EQ(frame->Tabs().GetPageCount(), 1);
  AmbientView* restored = frame->ActiveView();
  EXPECT_TRUE(restored->IsModified());
  EXPECT_STREQ(restored->GetPath(), path.c_str());
  EXPECT_EQ(PageTitles(), std::vector<std::wstring>{kSample});
  std::vector<std::byte> restoredBytes;
  ASSERT_TRUE(restored->EncodeForSave(restoredBytes));
  EXPECT_EQ(restoredBytes, expected);

  // Closed without saving, it leaves nothing behind.
  ModalScript discard;
  BoxRecorder boxes(discard, IDNO, 1);
  Command(CMD_WINDOW_CLOSE);
  Pump();
  EXPECT_EQ(frame->Tabs().GetPageCount(), 0);
  EXPECT_TRUE(RemoveDirectoryW(recovery.c_str())) << "a copy outlived its document";
}

// Whether a recovery copy appears in `folder` within `patience` ms, the thread pumping meanwhile.
bool CopyAppears(const std::wstring& folder, const std::function<void()>& pump, DWORD patience) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < patience) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\*.recovery").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      FindClose(search);
      return true;
    }
    Sleep(50);
    pump();
  }
  return false;
}

// Names kept in Windows-1251, whatever the system's code page: each edit's copy holds the bytes
// Save writes, and Save writes them. A copy that cannot be written is said once in the status
// bar, not again at every edit.
TEST_F(OutsideWorld, RecoveryCopiesKeepNamesInTheirCodePage) {
  // One entry: 1000 to 2000 ms, day, "лес.wav" in Windows-1251, volume 50.
  std::vector<char> list(2 + 116, 0);
  list[0] = 1;
  const char record[] = "\xE8\x03\0\0\xD0\x07\0\0\x01\xEB\xE5\xF1.wav";
  std::copy(record, record + sizeof(record) - 1, list.begin() + 2);
  list[2 + 112] = 50;
  const std::wstring path = TempFile(L"forest.bad");
  WriteFileBytes(path, list);

  const std::wstring blocked = folder + L"\\blocked";
  WriteFileBytes(blocked, {'x'});
  frame->KeepRecoveryCopies(blocked);
  Command(CMD_VIEW_NAMES_1251);
  // The choice is the user's setting: the tests after this one start with the system's again.
  struct Finally {
    std::function<void()> step;
    ~Finally() { step(); }
  } systemAgain{[this] { Command(CMD_VIEW_NAMES_SYSTEM); }};
  OpenFile(path);
  AmbientView* view = frame->ActiveView();
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(view->GetEntry(0).values.audioFile, L"лес.wav");
  const std::wstring notWritten = FormatCommandString(STR_RECOVERY_NOT_WRITTEN, L"forest.bad");
  TypeIntoCell(0, kVolumeColumn, L"51");
  ASSERT_TRUE(view->CommitEdit());
  frame->SyncRecoveryCopies();
  EXPECT_EQ(StatusText(), notWritten);
  frame->ShowStatusReason(L"");
  TypeIntoCell(0, kVolumeColumn, L"52");
  ASSERT_TRUE(view->CommitEdit());
  frame->SyncRecoveryCopies();
  EXPECT_NE(StatusText(), notWritten) << "said at every edit";

  const std::wstring recovery = folder + L"\\recovery";
  frame->KeepRecoveryCopies(recovery);
  TypeIntoCell(0, kVolumeColumn, L"77");
  ASSERT_TRUE(view->CommitEdit());
  ASSERT_TRUE(CopyAppears(
      recovery, [this] { Pump(); }, 5000));
  list[2 + 112] = 77;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((recovery + L"\\*.recovery").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  FindClose(search);
  const std::vector<char> copy = ReadFileBytes(recovery + L"\\" + found.cFileName);
  // The document's bytes end the copy, after their 32-bit count.
  ASSERT_GE(copy.size(), list.size() + 4);
  std::vector<char> tail{static_cast<char>(list.size()), 0, 0, 0};
  tail.insert(tail.end(), list.begin(), list.end());
  EXPECT_EQ(std::vector<char>(copy.end() - static_cast<long>(tail.size()), copy.end()), tail);
  Command(CMD_FILE_SAVE);
  EXPECT_EQ(ReadFileBytes(path), list);
  Pump();
  EXPECT_TRUE(RemoveDirectoryW(recovery.c_str())) << "a saved document's copy stayed";
  DeleteFileW(blocked.c_str());
}

std::vector<char> AsChars(const std::vector<std::byte>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()),
          reinterpret_cast<const char*>(bytes.data()) + bytes.size()};
}

// The copies in `folder` as they read back.
std::vector<RecoveryCopy> CopiesIn(const std::wstring& folder) {
  std::vector<RecoveryCopy> copies;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + L"\\*.recovery").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return copies;
  do {
    const std::vector<char> raw = ReadFileBytes(folder + L"\\" + found.cFileName);
    RecoveryCopy copy;
    if (RecoveryStore::Deserialize({reinterpret_cast<const std::byte*>(raw.data()),
                                    reinterpret_cast<const std::byte*>(raw.data()) + raw.size()},
                                   copy))
      copies.push_back(copy);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return copies;
}

// A copy that cannot be restored is said and stays on disk, for the next start to offer again;
// the one restored beside it is there, and its copy is the restored document's own.
TEST_F(OutsideWorld, ARestoreThatFailsLosesNoCopy) {
  const std::wstring recovery = folder + L"\\recovery";
  CreateDirectoryW(recovery.c_str(), nullptr);
  RecoveryCopy good;
  good.title = L"good.bad";
  // One entry: an empty document without a file would hold nothing to keep a copy of.
  good.bytes.assign(2 + 116, std::byte{0});
  good.bytes[0] = std::byte{1};
  RecoveryCopy bad = good;
  bad.title = L"bad.bad";
  bad.bytes = {std::byte{0xff}, std::byte{0x7f}};  // more entries than a document holds
  WriteFileBytes(recovery + L"\\4294967291-0000000000000001-1.recovery",
                 AsChars(RecoveryStore::Serialize(bad)));
  WriteFileBytes(recovery + L"\\4294967291-0000000000000001-2.recovery",
                 AsChars(RecoveryStore::Serialize(good)));
  frame->KeepRecoveryCopies(recovery);
  {
    ModalScript script;
    BoxRecorder boxes(script, IDYES, 2);
    EXPECT_EQ(frame->OfferRecovery(), 1);
    ASSERT_EQ(boxes.texts.size(), 2u);
    EXPECT_EQ(boxes.texts[1], FormatCommandString(STR_RECOVERY_NOT_RESTORED, L"bad.bad"));
  }
  EXPECT_EQ(PageTitles(), std::vector<std::wstring>{L"good.bad"});
  std::vector<RecoveryCopy> left = CopiesIn(recovery);
  ASSERT_EQ(left.size(), 2u);
  EXPECT_TRUE(left[0] == bad || left[1] == bad);

  ModalScript discard;
  BoxRecorder boxes(discard, IDNO, 1);
  Command(CMD_WINDOW_CLOSE);
  left = CopiesIn(recovery);
  EXPECT_EQ(left, std::vector<RecoveryCopy>{bad});

  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((recovery + L"\\*.recovery").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do DeleteFileW((recovery + L"\\" + found.cFileName).c_str());
    while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(recovery.c_str());
}

// Replace All comes from the dialog as a message of its own, not as a command; its edit gets a
// recovery copy as soon as any other.
TEST_F(OutsideWorld, ReplaceAllIsCopiedLikeEveryEdit) {
  const std::wstring recovery = folder + L"\\recovery";
  frame->KeepRecoveryCopies(recovery);
  OpenFile(CopyOfSample(kSample));
  const std::wstring name = frame->ActiveView()->GetEntry(0).values.audioFile.value_or(L"");
  ASSERT_FALSE(name.empty());
  Command(CMD_EDIT_REPLACE);
  HWND dialog = FindThreadDialog();
  ASSERT_NE(dialog, nullptr);
  // Long enough for the copy the command itself calls for: the document is not modified yet.
  EXPECT_FALSE(CopyAppears(
      recovery, [this] { Pump(); }, 1500));
  SetDlgItemTextW(dialog, edt1, name.c_str());
  SetDlgItemTextW(dialog, edt2, L"replaced.wav");
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(psh2, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, psh2)));
  Pump();
  ASSERT_TRUE(frame->ActiveView()->IsModified());
  EXPECT_TRUE(CopyAppears(
      recovery, [this] { Pump(); }, 3000));
  SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  Pump();
}

// A handler that throws (here: out of memory) has its command refused with a message; the
// frame and its documents stay.
TEST_F(OutsideWorld, AFailedCommandIsRefusedAndKeepsEveryDocument) {
  class ThrowingWindow : public Window {
   protected:
    bool HandleMessage(Message& m) override {
      if (m.msg == WM_APP) throw std::bad_alloc();
      return Window::HandleMessage(m);
    }
  };
  OpenFile(CopyOfSample(kSample));
  TypeIntoCell(0, kVolumeColumn, L"7");
  ThrowingWindow child;
  static const WindowClass* childClass = RegisterWindowClass(L"Sonarwick.ThrowingChild", [](WNDCLASSEXW&) {});
  ASSERT_NE(child.Create(childClass, Hwnd(), RECT{0, 0, 10, 10}, nullptr, WS_CHILD), nullptr);

  ModalScript script;
  BoxRecorder boxes(script, IDOK, 1);
  EXPECT_EQ(SendMessageW(child.Handle(), WM_APP, 0, 0), 0);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], LoadCommandString(STR_OUT_OF_MEMORY));
  ASSERT_TRUE(IsWindow(Hwnd()));
  EXPECT_TRUE(frame->ActiveView()->IsModified());
}

}  // namespace
