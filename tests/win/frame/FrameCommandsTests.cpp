#include <windows.h>
// DROPFILES needs the base declarations first.
#include <shlobj.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FrameTestSupport.h"
#include "WinTestSupport.h"
#include "format/Win32CodePageConverter.h"
#include "app/CommandStrings.h"
#include "resources/ResourceIds.h"

namespace {

constexpr wchar_t kNewTitle[] = L"Новый";

using FrameCommands = FrameTest;

// The drop record Explorer hands over: the header, then the wide paths, each ended, and an
// empty one to close the list.
HDROP DroppedFiles(const std::vector<std::wstring>& paths) {
  std::wstring list;
  for (const std::wstring& path : paths) list += path + L'\0';
  list += L'\0';
  HGLOBAL memory =
      GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  memcpy(header + 1, list.data(), list.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

// Nothing is in it to lose: no prompt, no mark, no recovery copy until it holds something.
TEST_F(FrameCommands, NewAddsAnUnmodifiedUntitledDocumentInTheDefaultFont) {
  const std::wstring recovery = folder + L"\\recovery";
  frame->KeepRecoveryCopies(recovery);
  const auto copies = [&] {
    frame->SyncRecoveryCopies();
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((recovery + L"\\*.recovery").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    FindClose(search);
    return 1;
  };
  Command(CMD_FILE_NEW);
  EXPECT_EQ(copies(), 0);
  EXPECT_EQ(PageTitles(), std::vector<std::wstring>{kNewTitle});
  AmbientView* view = frame->ActiveView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(GetParent(view->Handle()), frame->ClientWindow());
  EXPECT_TRUE(IsWindowVisible(view->Handle()));
  EXPECT_FALSE(view->IsModified());
  EXPECT_FALSE(frame->Tabs().IsPageMarked(0));
  EXPECT_STREQ(view->GetPath(), L"");
  EXPECT_EQ(SendMessageW(view->Handle(), WM_GETFONT, 0, 0),
            reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));
  EXPECT_TRUE(GetWindowLongPtrW(view->Handle(), GWL_STYLE) & LVS_REPORT);
  // It can be filled: Insert adds an entry above the append row.
  Command(CMD_ENTRY_INSERT);
  EXPECT_EQ(view->GetEntryCount(), 1);
  EXPECT_EQ(view->GetDataRowCount(), 1);
  EXPECT_TRUE(view->IsModified());
  EXPECT_EQ(copies(), 1);
  // Taken back, it is the untouched document again.
  view->Undo();
  EXPECT_FALSE(view->IsModified());
  EXPECT_EQ(copies(), 0);
  RemoveDirectoryW(recovery.c_str());

  Command(CMD_FILE_NEW);
  EXPECT_EQ(PageTitles(), (std::vector<std::wstring>{kNewTitle, kNewTitle}));
  EXPECT_EQ(frame->Tabs().GetActivePage(), 1);
  EXPECT_EQ(frame->ViewCount(), 2u);
  // The window list in the "&Window" popup names both.
  HMENU windowMenu = GetSubMenu(frame->MenuBar().GetMenu(), 4);
  EXPECT_EQ(GetMenuItemCount(windowMenu), 5);
}

TEST_F(FrameCommands, OpenShowsTheFileNameAndSaveAsTheFullPath) {
  const std::wstring path = CopyOfSample(L"four-times-of-day.bad");
  ModalScript open;
  AnswerFileDialog(open, path);
  CommandWithScript(CMD_FILE_OPEN, open);
  ASSERT_EQ(PageTitles(), std::vector<std::wstring>{L"four-times-of-day.bad"});
  AmbientView* view = frame->ActiveView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->GetDataRowCount(), 4);
  EXPECT_FALSE(view->IsModified());
  EXPECT_FALSE(ToolbarButtonEnabled(CMD_FILE_SAVE));
  EXPECT_TRUE(ToolbarButtonEnabled(CMD_FILE_OPEN));

  const std::wstring copy = TempFile(L"copy.bad");
  ModalScript saveAs;
  AnswerFileDialog(saveAs, copy);
  CommandWithScript(CMD_FILE_SAVE_AS, saveAs);
  EXPECT_EQ(PageTitles(), std::vector<std::wstring>{copy});
  EXPECT_STREQ(view->GetPath(), copy.c_str());
  EXPECT_EQ(ReadFileBytes(copy), ReadFileBytes(path));
}

TEST_F(FrameCommands, SavingANewDocumentAsksForANameAndWritesAnEmptyFile) {
  Command(CMD_FILE_NEW);
  const std::wstring path = TempFile(L"fresh.bad");
  ModalScript save;
  AnswerFileDialog(save, path);
  // Save on a document without a path goes through Save As.
  CommandWithScript(CMD_FILE_SAVE, save);
  EXPECT_EQ(PageTitles(), std::vector<std::wstring>{path});
  EXPECT_EQ(ReadFileBytes(path), (std::vector<char>{0, 0}));
  EXPECT_FALSE(frame->ActiveView()->IsModified());
  EXPECT_FALSE(ToolbarButtonEnabled(CMD_FILE_SAVE));

  // Saving again needs no dialog, changes or not: the accelerator is not blocked.
  DeleteFileW(path.c_str());
  Command(CMD_FILE_SAVE);
  EXPECT_EQ(ReadFileBytes(path), (std::vector<char>{0, 0}));
}

TEST_F(FrameCommands, AFileThatCannotBeOpenedIsReportedAndAddsNothing) {
  const std::wstring path = TempFile(L"too-many.bad");
  std::vector<char> tooMany(2 + 116 * 101, 0);
  tooMany[0] = 101;
  WriteFileBytes(path, tooMany);
  ModalScript open;
  std::wstring message;
  AnswerFileDialog(open, path);
  ReadAndCloseMessageBox(open, message);
  CommandWithScript(CMD_FILE_OPEN, open);
  // The reason follows on a line of its own, once.
  const std::wstring expectedStart = L"Не могу открыть файл!\n";
  EXPECT_EQ(message.substr(0, expectedStart.size()), expectedStart);
  EXPECT_NE(message.find(L"101", expectedStart.size()), std::wstring::npos);
  EXPECT_EQ(message.find(L"\n", expectedStart.size()), std::wstring::npos);
  EXPECT_EQ(frame->Tabs().GetPageCount(), 0);
  EXPECT_EQ(frame->ViewCount(), 0u);
  EXPECT_EQ(FindWindowExW(frame->ClientWindow(), nullptr, nullptr, nullptr), frame->Tabs().GetTabStrip());
}

// Each dropped file opens in its own tab; one that cannot be read, a name of nothing and a
// folder each say so, naming it, and the others still open.
TEST_F(FrameCommands, DroppedFilesOpenEachInItsTab) {
  EXPECT_TRUE(GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  const std::wstring first = CopyOfSample(L"four-times-of-day.bad");
  const std::wstring broken = TempFile(L"too-many.bad");
  std::vector<char> tooMany(2 + 116 * 101, 0);
  tooMany[0] = 101;
  WriteFileBytes(broken, tooMany);
  const std::wstring last = CopyOfSample(L"no-entries.bad");
  const std::wstring nothing = folder + L"\\nothing.bad";
  ModalScript box;
  std::wstring messages[3];
  for (std::wstring& message : messages) ReadAndCloseMessageBox(box, message);
  SendMessageW(Hwnd(), WM_DROPFILES,
               reinterpret_cast<WPARAM>(DroppedFiles({first, broken, nothing, folder, last})), 0);
  EXPECT_TRUE(box.Finished());
  Pump();
  for (const std::wstring& message : messages) EXPECT_EQ(message.rfind(L"Не могу открыть файл!\n", 0), 0u);
  EXPECT_NE(messages[0].find(L"101"), std::wstring::npos);
  // Several files at once: the reason says which one it is about.
  EXPECT_NE(messages[0].find(broken), std::wstring::npos);
  EXPECT_NE(messages[1].find(nothing), std::wstring::npos);
  EXPECT_NE(messages[2].find(folder + L"\n" + LoadCommandString(STR_OPEN_FOLDER_NOT_FILE)), std::wstring::npos);
  EXPECT_EQ(PageTitles(), std::vector<std::wstring>({L"four-times-of-day.bad", L"no-entries.bad"}));
  EXPECT_EQ(frame->ViewCount(), 2u);
}

TEST_F(FrameCommands, AFailingSaveSaysWhyAndKeepsTheDocument) {
  const std::wstring path = CopyOfSample(L"four-times-of-day.bad");
  const std::vector<char> original = ReadFileBytes(path);
  ModalScript open;
  AnswerFileDialog(open, path);
  CommandWithScript(CMD_FILE_OPEN, open);
  AmbientView* view = frame->ActiveView();
  ASSERT_NE(view, nullptr);

  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
  ModalScript save;
  std::wstring message;
  ReadAndCloseMessageBox(save, message);
  CommandWithScript(CMD_FILE_SAVE, save);
  const std::wstring expectedStart = L"Не могу сохранить файл!\n";
  EXPECT_EQ(message.substr(0, expectedStart.size()), expectedStart);
  EXPECT_EQ(message.substr(expectedStart.size()), view->GetLastSaveError());
  EXPECT_FALSE(view->GetLastSaveError().empty());
  EXPECT_EQ(ReadFileBytes(path), original);
  EXPECT_EQ(view->GetDataRowCount(), 4);
  EXPECT_EQ(frame->Tabs().GetPageCount(), 1);
}

// A Save As that fails changes nothing: the title, the path and the modified flag stay.
TEST_F(FrameCommands, SaveAsOntoAnUnwritableFileKeepsTheDocumentAsItWas) {
  Command(CMD_FILE_NEW);
  Command(CMD_ENTRY_INSERT);
  Pump();
  const std::wstring locked = CopyOfSample(L"no-entries.bad");
  SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY);
  ModalScript saveAs;
  std::wstring message;
  AnswerFileDialog(saveAs, locked);
  // The dialog asks before replacing the existing file.
  auto confirm = std::make_shared<HWND>(nullptr);
  saveAs.Then([confirm] { return (*confirm = FindThreadDialog()) != nullptr && GetDlgItem(*confirm, IDYES); },
              [confirm] { PostMessageW(*confirm, WM_COMMAND, IDYES, 0); });
  ReadAndCloseMessageBox(saveAs, message);
  CommandWithScript(CMD_FILE_SAVE_AS, saveAs);
  EXPECT_EQ(message.rfind(L"Не могу сохранить файл!", 0), 0u);
  EXPECT_EQ(PageTitles(), std::vector<std::wstring>{kNewTitle});
  EXPECT_STREQ(frame->ActiveView()->GetPath(), L"");
  EXPECT_TRUE(frame->ActiveView()->IsModified());
}

TEST_F(FrameCommands, WithNothingOpenTheFileAndWindowCommandsChangeNothing) {
  for (UINT id : {UINT{CMD_WINDOW_CLOSE}, UINT{CMD_WINDOW_CLOSE_ALL}, UINT{CMD_FILE_SAVE},
                  UINT{CMD_FILE_SAVE_AS}, UINT{CMD_WINDOW_PAGE_FIRST}}) {
    Command(id);
    // No dialog came up for Save or Save As.
    EXPECT_EQ(FindThreadDialog(), nullptr) << id;
    EXPECT_EQ(frame->Tabs().GetPageCount(), 0) << id;
    EXPECT_EQ(frame->Tabs().GetActivePage(), -1) << id;
  }
  EXPECT_TRUE(IsWindow(Hwnd()));
}

TEST_F(FrameCommands, CloseTakesTheActivePageAndCloseAllTheRest) {
  for (int page = 0; page < 4; ++page) Command(CMD_FILE_NEW);
  HWND third = reinterpret_cast<HWND>(frame->Tabs().GetPageWindow(2));
  Command(CMD_WINDOW_PAGE_FIRST + 2);
  EXPECT_EQ(frame->Tabs().GetActivePage(), 2);
  EXPECT_EQ(GetFocus(), third);

  Command(CMD_WINDOW_CLOSE);
  EXPECT_FALSE(IsWindow(third));
  EXPECT_EQ(frame->Tabs().GetPageCount(), 3);
  EXPECT_EQ(frame->Tabs().GetActivePage(), 1);
  EXPECT_EQ(frame->ViewCount(), 3u);

  // A window-list id for a page that does not exist changes nothing.
  Command(CMD_WINDOW_PAGE_FIRST + 7);
  EXPECT_EQ(frame->Tabs().GetActivePage(), 1);
  Command(CMD_WINDOW_PAGE_FIRST);
  EXPECT_EQ(frame->Tabs().GetActivePage(), 0);

  Command(CMD_WINDOW_CLOSE_ALL);
  EXPECT_EQ(frame->Tabs().GetPageCount(), 0);
  EXPECT_EQ(frame->ViewCount(), 0u);
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(frame->MenuBar().GetMenu(), 4)), 2);
  EXPECT_FALSE(ToolbarButtonEnabled(CMD_FILE_SAVE));
}

TEST_F(FrameCommands, AboutShowsTheBoxOverTheFrame) {
  ModalScript about;
  HWND owner = nullptr;
  about.Then([] { return FindThreadDialog() != nullptr; },
             [&owner] {
               HWND box = FindThreadDialog();
               owner = GetWindow(box, GW_OWNER);
               PostMessageW(box, WM_COMMAND, IDOK, 0);
             });
  CommandWithScript(CMD_APP_ABOUT, about);
  EXPECT_EQ(owner, Hwnd());
}

// The append row's notification travels from the grid through the tab container and the
// frame, which reflects it back to the view; the view then adds an entry.
TEST_F(FrameCommands, TheAppendRowNotificationComesBackToTheView) {
  const std::wstring path = CopyOfSample(L"four-times-of-day.bad");
  ModalScript open;
  AnswerFileDialog(open, path);
  CommandWithScript(CMD_FILE_OPEN, open);
  AmbientView* view = frame->ActiveView();
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(view->GetDataRowCount(), 4);

  RECT cell = view->GetCellRect(4, 0);
  ClickAt(ClientToScreenPoint(view->Handle(), (cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
  Pump();
  EXPECT_EQ(view->GetDataRowCount(), 5);
  EXPECT_TRUE(view->IsModified());
  EXPECT_TRUE(ToolbarButtonEnabled(CMD_FILE_SAVE));
}

// One tab per file: opening it again under another spelling shows its tab; saving another
// document over it is refused with the reason, and nothing changes.
TEST_F(FrameCommands, AFileOpensInOneTabOnly) {
  const std::wstring path = CopyOfSample(L"four-times-of-day.bad");
  const std::vector<char> original = ReadFileBytes(path);
  OpenFile(path);
  Command(CMD_FILE_NEW);
  std::wstring otherSpelling = path;
  CharUpperW(otherSpelling.data());
  OpenFile(otherSpelling);
  EXPECT_EQ(PageTitles(), (std::vector<std::wstring>{L"four-times-of-day.bad", kNewTitle}));
  EXPECT_EQ(frame->Tabs().GetActivePage(), 0);

  Command(CMD_WINDOW_PAGE_FIRST + 1);
  ModalScript saveAs;
  std::wstring message;
  AnswerFileDialog(saveAs, path);
  auto confirm = std::make_shared<HWND>(nullptr);
  saveAs.Then([confirm] { return (*confirm = FindThreadDialog()) != nullptr && GetDlgItem(*confirm, IDYES); },
              [confirm] { PostMessageW(*confirm, WM_COMMAND, IDYES, 0); });
  ReadAndCloseMessageBox(saveAs, message);
  CommandWithScript(CMD_FILE_SAVE_AS, saveAs);
  EXPECT_EQ(message, L"Не могу сохранить файл!\n" + LoadCommandString(STR_FILE_OPEN_IN_OTHER_TAB));
  EXPECT_EQ(PageTitles(), (std::vector<std::wstring>{L"four-times-of-day.bad", kNewTitle}));
  EXPECT_EQ(ReadFileBytes(path), original);
}

}  // namespace

// The sample's names are Windows-1251 bytes. Choosing that code page rereads them from the bytes
// in every open document (Cyrillic in either interface), choosing the system's reads them as the
// system does; neither modifies anything, and a save after a switch writes the same bytes.
TEST_F(FrameCommands, TheNamesCodePageRereadsOpenDocumentsAndModifiesNothing) {
  const std::wstring path = CopyOfSample(L"four-times-of-day.bad");
  const std::vector<char> original = ReadFileBytes(path);
  OpenFile(path);
  AmbientView* view = frame->ActiveView();
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(ViewItemChecked(CMD_VIEW_NAMES_SYSTEM));
  const std::string_view stored = AudioFileBytes(view->GetEntry(2).record);

  Command(CMD_VIEW_NAMES_1251);
  EXPECT_EQ(view->GetEntry(2).values.audioFile, L"Болото\\Лягушки на закате.wav");
  EXPECT_TRUE(ViewItemChecked(CMD_VIEW_NAMES_1251));
  EXPECT_FALSE(ViewItemChecked(CMD_VIEW_NAMES_SYSTEM));
  EXPECT_FALSE(view->IsModified());
  EXPECT_FALSE(view->CanUndo());
  Command(CMD_FILE_SAVE);
  EXPECT_EQ(ReadFileBytes(path), original);

  Command(CMD_VIEW_NAMES_SYSTEM);
  EXPECT_EQ(view->GetEntry(2).values.audioFile, DecodeName(stored, ProcessCodePageConverter()));
  EXPECT_TRUE(ViewItemChecked(CMD_VIEW_NAMES_SYSTEM));
  EXPECT_FALSE(view->IsModified());
  Command(CMD_FILE_SAVE);
  EXPECT_EQ(ReadFileBytes(path), original);
}

// A file whose count leaves records out opens with a word about them, and the first save over
// it asks first: No writes nothing, Yes writes what is shown (here: no entries).
TEST_F(FrameCommands, ADamagedFileSaysWhatItHoldsAndTheFirstSaveAsks) {
  const std::wstring path = TempFile(L"negative.bad");
  std::vector<char> negative(2 + 116 * 4, 0);
  negative[0] = negative[1] = static_cast<char>(0xFF);
  WriteFileBytes(path, negative);
  ModalScript open;
  std::wstring told;
  AnswerFileDialog(open, path);
  ReadAndCloseMessageBox(open, told);
  CommandWithScript(CMD_FILE_OPEN, open);
  EXPECT_NE(told.find(path), std::wstring::npos);
  EXPECT_NE(told.find(L"4"), std::wstring::npos);
  EXPECT_NE(told.find(L"\x2212"
                      L"1"),
            std::wstring::npos);
  ASSERT_EQ(frame->Tabs().GetPageCount(), 1);

  ModalScript refuse;
  std::wstring question;
  ReadAndCloseMessageBox(refuse, question, IDNO);
  CommandWithScript(CMD_FILE_SAVE, refuse);
  EXPECT_NE(question.find(L"negative.bad"), std::wstring::npos);
  EXPECT_EQ(ReadFileBytes(path), negative);

  ModalScript accept;
  ReadAndCloseMessageBox(accept, question, IDYES);
  CommandWithScript(CMD_FILE_SAVE, accept);
  EXPECT_EQ(ReadFileBytes(path), (std::vector<char>{0, 0}));
  Command(CMD_FILE_SAVE);  // whole now: no question, nothing left waiting
  EXPECT_EQ(ReadFileBytes(path), (std::vector<char>{0, 0}));
}
