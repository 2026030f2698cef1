// What the frame shows speaks of the active document and equals a whole repaint: the marks of
// names whose sound files are missing, and the status bar's reasons.
#include <memory>
#include <string>
#include <vector>

#include "FrameTestSupport.h"
#include "ShellTestSupport.h"
#include "WinTestSupport.h"
#include "resources/ResourceIds.h"
#include "resources/WindowPageIds.h"

namespace {

constexpr int kNameColumn = 1;

class FrameScreen : public FrameTest {
 protected:
  // A document beside one of its two named sound files: the folder is found by itself, and the
  // first entry's file is missing.
  AmbientView* OpenBesideItsSounds() {
    const std::wstring path = CopyOfSample(L"bytes-behind-terminators.bad");
    WriteFileBytes(TempFile(L"wind.wav"), {'R', 'I', 'F', 'F'});
    Command(CMD_VIEW_SOUND_FOLDER_AUTO);
    OpenFile(path);
    Pump();
    return frame->ActiveView();
  }

  // After the idle pass, as after any command.
  void ExpectScreenAsWholePaint(const AmbientView& view, const char* step) {
    Pump();
    UpdateWindow(view.Handle());
    const std::vector<DWORD> shown = ClientPixels(view.Handle());
    RedrawWindow(view.Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(shown == ClientPixels(view.Handle())) << step;
  }
};

TEST_F(FrameScreen, MissingSoundMarksStayWithTheNamesThatAreMissing) {
  AmbientView* view = OpenBesideItsSounds();
  ASSERT_NE(view, nullptr);
  ASSERT_FALSE(frame->SoundCheck().Folder().empty());
  ASSERT_TRUE(frame->SoundCheck().IsMissing(view->GetEntry(0).values.audioFile.value_or(L"")));
  ExpectScreenAsWholePaint(*view, "opened");

  // Replace All gives the missing entry another name that is missing too.
  std::vector<std::wstring> names;
  for (int entry = 0; entry < view->GetEntryCount(); ++entry)
    names.push_back(view->GetEntry(entry).values.audioFile.value_or(L""));
  names[0] = L"renamed-" + names[0];
  ASSERT_EQ(view->ReplaceNames(names), L"");
  ExpectScreenAsWholePaint(*view, "replace all");

  Command(CMD_VIEW_NAMES_1251);
  ExpectScreenAsWholePaint(*view, "code page switch");
  Command(CMD_VIEW_NAMES_SYSTEM);
  ExpectScreenAsWholePaint(*view, "code page switch back");

  // Back from another program files are looked up again; the cell selected meanwhile (as Find
  // selects one) keeps its mark.
  SendMessageW(Hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
  SendMessageW(Hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
  view->SelectCell(0, kNameColumn);
  ExpectScreenAsWholePaint(*view, "cell selected after coming back");
}

TEST_F(FrameScreen, AReasonSpeaksOnlyOfTheDocumentItWasGivenFor) {
  AmbientView* first = OpenBesideItsSounds();
  ASSERT_NE(first, nullptr);
  frame->ShowStatusReason(L"a reason about the first document");
  Pump();
  EXPECT_EQ(StatusText(), L"a reason about the first document");

  Command(CMD_FILE_NEW);
  EXPECT_NE(StatusText(), L"a reason about the first document");
  frame->ShowStatusReason(L"a reason about the new document");
  SendMessageW(Hwnd(), WM_COMMAND, CMD_WINDOW_PAGE_FIRST, 0);
  Pump();
  ASSERT_EQ(frame->ActiveView(), first);
  EXPECT_NE(StatusText(), L"a reason about the new document");

  // The count of missing sounds is the active document's: the new one names none.
  wchar_t count[256]{};
  SendMessageW(frame->StatusBarWindow(), SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(count));
  EXPECT_NE(std::wstring(count), L"");
  Command(CMD_WINDOW_PAGE_FIRST + 1);
  SendMessageW(frame->StatusBarWindow(), SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(count));
  EXPECT_EQ(std::wstring(count), L"");
}

// The folder a shown file dialog is in.
void ReadDialogFolder(ModalScript& script, std::wstring& folder) {
  auto dialog = std::make_shared<HWND>(nullptr);
  script.Then([dialog] { return (*dialog = FindThreadDialog()) != nullptr; },
              [dialog, &folder] {
                wchar_t path[MAX_PATH]{};
                SendMessageW(*dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(path));
                folder = path;
                PostMessageW(*dialog, WM_COMMAND, IDCANCEL, 0);
              });
}

std::wstring Lower(std::wstring text) {
  CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  while (!text.empty() && text.back() == L'\\') text.pop_back();
  return text;
}

// Open starts where the active document is, or where a document was last opened; the sound
// folder chosen by hand can be given up for the one found by itself again.
TEST_F(FrameScreen, DialogsStartWhereTheDocumentsAre) {
  const std::wstring documents = folder + L"\\documents";
  CreateDirectoryW(documents.c_str(), nullptr);
  const std::wstring path = documents + L"\\four.bad";
  WriteFileBytes(path, ReadFileBytes(CopyOfSample(L"four-times-of-day.bad")));
  created.push_back(path);
  OpenFile(path);
  std::wstring shown;
  ModalScript open;
  ReadDialogFolder(open, shown);
  CommandWithScript(CMD_FILE_OPEN, open);
  EXPECT_EQ(Lower(shown), Lower(documents));

  Command(CMD_WINDOW_CLOSE_ALL);
  ModalScript again;
  ReadDialogFolder(again, shown);
  CommandWithScript(CMD_FILE_OPEN, again);
  EXPECT_EQ(Lower(shown), Lower(documents));
  RemoveDirectoryW(documents.c_str());
}

TEST_F(FrameScreen, AChosenSoundFolderCanBeGivenUp) {
  AmbientView* view = OpenBesideItsSounds();
  ASSERT_NE(view, nullptr);
  const std::wstring found = frame->SoundCheck().Folder();
  ASSERT_FALSE(found.empty());
  EXPECT_TRUE(ViewItemChecked(CMD_VIEW_SOUND_FOLDER_AUTO));
  TestSettings().SetString(L"SoundFolder", folder + L"\\elsewhere");
  Pump();
  EXPECT_EQ(frame->SoundCheck().Folder(), folder + L"\\elsewhere");
  EXPECT_FALSE(ViewItemChecked(CMD_VIEW_SOUND_FOLDER_AUTO));
  Command(CMD_VIEW_SOUND_FOLDER_AUTO);
  EXPECT_EQ(frame->SoundCheck().Folder(), found);
  EXPECT_TRUE(ViewItemChecked(CMD_VIEW_SOUND_FOLDER_AUTO));
}

}  // namespace
