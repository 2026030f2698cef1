// What the frame keeps for the user: recent files, its place, the unsaved marks, the list of
// all windows and the files a second start hands over.

#include <shlobj.h>

#include "FrameTestSupport.h"
#include "WinTestSupport.h"
#include "session/ShellRecentList.h"
#include "session/SingleInstance.h"
#include "session/WindowPlacement.h"
#include "resources/ResourceIds.h"

namespace {

constexpr int kFileMenu = 0;
constexpr int kWindowMenu = 4;

std::vector<std::wstring> ItemTexts(HMENU menu, UINT firstId, UINT lastId) {
  std::vector<std::wstring> texts;
  for (int position = 0; position < GetMenuItemCount(menu); ++position) {
    const UINT id = GetMenuItemID(menu, position);
    if (id < firstId || id > lastId) continue;
    wchar_t text[512]{};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 512, MF_BYPOSITION);
    texts.push_back(text);
  }
  return texts;
}

std::wstring TabText(HWND strip, int index) {
  wchar_t text[64]{};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = 64;
  TabCtrl_GetItem(strip, index, &item);
  return text;
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

}  // namespace

class Session : public FrameTest {
 protected:
  HMENU Popup(int position) const { return GetSubMenu(frame->MenuBar().GetMenu(), position); }
};

// Opened and saved files lead the list, each once, at most eight; one that has gone since is
// refused with its name and taken off, in the menu and in the settings.
TEST_F(Session, RecentFilesLeadTheFileMenuAndForgetWhatIsGone) {
  const std::wstring sample = CopyOfSample(L"four-times-of-day.bad");
  std::vector<std::wstring> files;
  for (int index = 0; index < 9; ++index) {
    files.push_back(TempFile(L"recent & " + std::to_wstring(index) + L".bad"));
    WriteFileBytes(files.back(), ReadFileBytes(sample));
  }
  ASSERT_TRUE(frame->OpenDocument(files[0]));
  ASSERT_TRUE(frame->OpenDocument(files[1]));
  ASSERT_TRUE(frame->OpenDocument(files[0]));  // already open: it still moves up
  std::vector<std::wstring> items = ItemTexts(Popup(kFileMenu), CMD_FILE_MRU_FIRST, CMD_FILE_MRU_LAST);
  ASSERT_EQ(items.size(), 2u);
  // Long paths keep their drive and name; an ampersand shows as itself, not as a mnemonic.
  EXPECT_EQ(items[0].rfind(L"&1 " + files[0].substr(0, 3), 0), 0u) << items[0];
  EXPECT_TRUE(items[0].ends_with(L"\\recent && 0.bad")) << items[0];
  EXPECT_TRUE(items[1].ends_with(L"\\recent && 1.bad")) << items[1];
  // The group sits right above Exit, between separators.
  HMENU file = Popup(kFileMenu);
  const int exit = GetMenuItemCount(file) - 1;
  EXPECT_EQ(GetMenuItemID(file, exit), static_cast<UINT>(CMD_APP_EXIT));
  EXPECT_EQ(GetMenuItemID(file, exit - 2), static_cast<UINT>(CMD_FILE_MRU_FIRST + 1));

  for (const std::wstring& path : files) ASSERT_TRUE(frame->OpenDocument(path));
  EXPECT_EQ(frame->Recent().Files().size(), 8u);
  EXPECT_EQ(frame->Recent().Files().front(), files[8]);
  EXPECT_EQ(TestSettings().GetStringList(RecentFiles::kSettingName), frame->Recent().Files());

  Command(CMD_WINDOW_CLOSE_ALL);
  DeleteFileW(files[7].c_str());
  ModalScript box;
  std::wstring message;
  ReadAndCloseMessageBox(box, message);
  CommandWithScript(CMD_FILE_MRU_FIRST + 1, box);
  EXPECT_NE(message.find(files[7]), std::wstring::npos);
  EXPECT_EQ(frame->Tabs().GetPageCount(), 0);
  EXPECT_EQ(ItemTexts(Popup(kFileMenu), CMD_FILE_MRU_FIRST, CMD_FILE_MRU_LAST).size(), 7u);
  Settings reread(kTestSettingsKey);
  reread.Load();
  EXPECT_EQ(reread.GetStringList(RecentFiles::kSettingName).size(), 7u);

  Command(CMD_FILE_MRU_FIRST + 1);
  ASSERT_EQ(frame->Tabs().GetPageCount(), 1);
  EXPECT_EQ(std::wstring(frame->ActiveView()->GetPath()), files[6]);
}

// The mark shows on the tab and in the Window menu while the document differs from its file,
// and goes when undo brings it back; the page's title itself never carries it.
// The shell's recent documents hear of each file from a worker, in order, and whatever was
// handed over reaches the shell even when the list ends at once.
TEST_F(Session, ShellRecentDocumentsHearOfEveryFileOffTheInterfaceThread) {
  wchar_t recent[MAX_PATH]{};
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_RECENT, nullptr, SHGFP_TYPE_CURRENT, recent), S_OK);
  const std::wstring first = TempFile(L"shell recent one.bad"), second = TempFile(L"shell recent two.bad");
  for (const std::wstring& path : {first, second}) WriteFileBytes(path, ReadFileBytes(CopyOfSample(L"four-times-of-day.bad")));
  const auto shortcut = [&](const std::wstring& path) {
    return std::wstring(recent) + L"\\" + path.substr(path.find_last_of(L'\\') + 1) + L".lnk";
  };
  for (const std::wstring& path : {first, second}) DeleteFileW(shortcut(path).c_str());
  {
    ShellRecentList list;
    list.Add(first);
    list.Flush();
    EXPECT_NE(GetFileAttributesW(shortcut(first).c_str()), INVALID_FILE_ATTRIBUTES);
    list.Add(second);
  }
  EXPECT_NE(GetFileAttributesW(shortcut(second).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Session, UnsavedMarkFollowsTheDocumentBackToItsSavedState) {
  ASSERT_TRUE(frame->OpenDocument(CopyOfSample(L"four-times-of-day.bad")));
  HWND strip = frame->Tabs().GetTabStrip();
  EXPECT_EQ(TabText(strip, 0), L"four-times-of-day.bad");
  TypeIntoCell(0, 2, L"1234");
  ASSERT_TRUE(frame->ActiveView()->CommitEdit());
  Pump();
  EXPECT_EQ(TabText(strip, 0), L"four-times-of-day.bad *");
  EXPECT_EQ(ItemTexts(Popup(kWindowMenu), CMD_WINDOW_PAGE_FIRST, CMD_WINDOW_PAGE_LAST),
            std::vector<std::wstring>{L"&1 four-times-of-day.bad *"});
  EXPECT_STREQ(frame->Tabs().GetPageTitle(0), L"four-times-of-day.bad");
  Command(CMD_EDIT_UNDO);
  EXPECT_EQ(TabText(strip, 0), L"four-times-of-day.bad");
  EXPECT_EQ(ItemTexts(Popup(kWindowMenu), CMD_WINDOW_PAGE_FIRST, CMD_WINDOW_PAGE_LAST),
            std::vector<std::wstring>{L"&1 four-times-of-day.bad"});
}

// Past ten documents the Window menu ends in "Windows...", whose list closes and activates
// any of them.
TEST_F(Session, EveryDocumentIsReachableThroughTheWindowsList) {
  for (int index = 0; index < 11; ++index) Command(CMD_FILE_NEW);
  HMENU window = Popup(kWindowMenu);
  EXPECT_EQ(GetMenuItemID(window, GetMenuItemCount(window) - 1), static_cast<UINT>(CMD_WINDOW_LIST_MORE));
  EXPECT_EQ(ItemTexts(window, CMD_WINDOW_PAGE_FIRST, CMD_WINDOW_PAGE_LAST).size(), 10u);

  ModalScript script;
  auto dialog = std::make_shared<HWND>(nullptr);
  auto listed = std::make_shared<LRESULT>(0);
  script.Then([dialog] { return (*dialog = FindThreadDialog()) != nullptr; },
              [dialog, listed] {
                *listed = SendDlgItemMessageW(*dialog, IDC_WINDOWS_LIST, LB_GETCOUNT, 0, 0);
                SendDlgItemMessageW(*dialog, IDC_WINDOWS_LIST, LB_SETCURSEL, 0, 0);
                SendMessageW(*dialog, WM_COMMAND, IDC_WINDOWS_CLOSE, 0);
                SendDlgItemMessageW(*dialog, IDC_WINDOWS_LIST, LB_SETCURSEL, 4, 0);
                SendMessageW(*dialog, WM_COMMAND, IDOK, 0);
              });
  CommandWithScript(CMD_WINDOW_LIST_MORE, script);
  EXPECT_EQ(*listed, 11);
  EXPECT_EQ(frame->Tabs().GetPageCount(), 10);
  EXPECT_EQ(frame->Tabs().GetActivePage(), 4);
  EXPECT_NE(GetMenuItemID(window, GetMenuItemCount(window) - 1), static_cast<UINT>(CMD_WINDOW_LIST_MORE));
}

// A second start's files arrive as a list behind its ticket; the frame answers at once and
// opens them after, taking only whole names from data of any shape. A hand-over the second
// start took back (it waited in vain and opened its own window) is refused when it comes late,
// and one without a ticket of ours is refused too.
TEST_F(Session, HandedOverFilesOpenInTabsOnlyWhileTheSenderWaits) {
  const std::wstring first = CopyOfSample(L"four-times-of-day.bad");
  const std::wstring second = CopyOfSample(L"no-entries.bad");
  HandOverTicket ticket;
  ASSERT_TRUE(ticket.Valid());
  std::vector<BYTE> data = PackFileList({ticket.Name(), first, second});
  COPYDATASTRUCT copy{kOpenFilesData, static_cast<DWORD>(data.size()), data.data()};
  EXPECT_EQ(SendMessageW(Hwnd(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy)), TRUE);
  EXPECT_EQ(frame->Tabs().GetPageCount(), 0);
  Pump();
  EXPECT_EQ(PageTitles(), (std::vector<std::wstring>{L"four-times-of-day.bad", L"no-entries.bad"}));
  EXPECT_FALSE(ticket.TakeBack()) << "the frame took the hand-over";
  EXPECT_EQ(SendMessageW(Hwnd(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy)), FALSE) << "only once";

  const std::wstring third = CopyOfSample(L"hundred-entries.bad");
  HandOverTicket late;
  std::vector<BYTE> lateData = PackFileList({late.Name(), third});
  COPYDATASTRUCT lateCopy{kOpenFilesData, static_cast<DWORD>(lateData.size()), lateData.data()};
  EXPECT_TRUE(late.TakeBack());
  EXPECT_EQ(SendMessageW(Hwnd(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&lateCopy)), FALSE);
  std::vector<BYTE> noTicket = PackFileList({third, third});
  COPYDATASTRUCT forged{kOpenFilesData, static_cast<DWORD>(noTicket.size()), noTicket.data()};
  EXPECT_EQ(SendMessageW(Hwnd(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&forged)), FALSE);
  Pump();
  EXPECT_EQ(frame->Tabs().GetPageCount(), 2);

  COPYDATASTRUCT foreign{42, static_cast<DWORD>(data.size()), data.data()};
  EXPECT_EQ(SendMessageW(Hwnd(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&foreign)), FALSE);
  std::vector<BYTE> files = PackFileList({first, second});
  files.resize(files.size() - 3);  // the second name loses its terminator and half a character
  EXPECT_EQ(UnpackFileList(files.data(), files.size()), std::vector<std::wstring>{first});
  EXPECT_TRUE(UnpackFileList(nullptr, 10).empty());
}

// A window stored on a monitor that is gone comes back inside the screen; one stored maximised
// comes back maximised over the same normal place.
TEST_F(Session, PlacementComesBackOnAVisibleMonitor) {
  EXPECT_TRUE(SameRect(FitIntoArea({10, 10, 110, 60}, {0, 0, 800, 600}), {10, 10, 110, 60}));
  EXPECT_TRUE(SameRect(FitIntoArea({3000, -500, 3400, -200}, {0, 0, 800, 600}), {400, 0, 800, 300}));
  EXPECT_TRUE(SameRect(FitIntoArea({-50, 20, 1950, 220}, {100, 0, 900, 600}), {100, 20, 900, 220}));

  Settings settings(kTestSettingsKey);
  EXPECT_FALSE(RestorePlacement(settings, Hwnd(), SW_SHOWNORMAL));  // nothing stored yet
  SetWindowPos(Hwnd(), nullptr, 30, 40, 500, 400, SWP_NOZORDER);
  ShowWindow(Hwnd(), SW_MAXIMIZE);
  SavePlacement(settings, Hwnd());
  ShowWindow(Hwnd(), SW_RESTORE);
  SetWindowPos(Hwnd(), nullptr, 0, 0, 300, 200, SWP_NOZORDER);
  ASSERT_TRUE(RestorePlacement(settings, Hwnd(), SW_SHOWDEFAULT));
  EXPECT_TRUE(IsZoomed(Hwnd()));
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  GetWindowPlacement(Hwnd(), &placement);
  EXPECT_TRUE(SameRect(placement.rcNormalPosition, {30, 40, 530, 440}));

  ShowWindow(Hwnd(), SW_RESTORE);
  SetWindowPos(Hwnd(), nullptr, -9000, -9000, 500, 400, SWP_NOZORDER);
  SavePlacement(settings, Hwnd());
  ASSERT_TRUE(RestorePlacement(settings, Hwnd(), SW_SHOWNORMAL));
  RECT shown{};
  GetWindowRect(Hwnd(), &shown);
  EXPECT_NE(MonitorFromRect(&shown, MONITOR_DEFAULTTONULL), nullptr);
  EXPECT_EQ(shown.right - shown.left, 500);

  // A damaged value is no placement at all.
  settings.SetBytes(L"WindowPlacement", {1, 2, 3});
  EXPECT_FALSE(RestorePlacement(settings, Hwnd(), SW_SHOWNORMAL));
}
