// The frame's command table: file, view, window and help commands.
#include <memory>

#include "format/FileAccess.h"
#include "app/AboutDialog.h"
#include "app/CommandStrings.h"
#include "app/FileDialog.h"
#include "app/StartupMarks.h"
#include "app/MainFrame.h"
#include "resources/ResourceIds.h"
#include "sound/SoundFolderSearch.h"
#include "win/RefusalBeep.h"

namespace {

constexpr wchar_t kNewDocumentTitle[] = L"Новый";
constexpr wchar_t kCannotOpen[] = L"Не могу открыть файл!";
constexpr wchar_t kCannotSave[] = L"Не могу сохранить файл!";
constexpr UINT kToolbarBandId = BAND_ID_FIRST + 1;
constexpr DWORD kViewStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | LVS_REPORT |
                             LVS_SHOWSELALWAYS | LVS_NOSORTHEADER;

// Whether the toolbar is meant to show; one flag for the process. It, not the band's
// visibility, decides what the toggle does next.
bool toolbarVisible = true;

}  // namespace

bool MainFrame::OnCommand(UINT id) {
  switch (id) {
    case CMD_APP_EXIT:
      OnAppExit();
      return true;
    case CMD_FILE_NEW:
      OnFileNew();
      return true;
    case CMD_FILE_OPEN:
      OnFileOpen();
      return true;
    case CMD_FILE_SAVE:
      OnFileSave();
      return true;
    case CMD_FILE_SAVE_AS:
      OnFileSaveAs();
      return true;
    case CMD_VIEW_TOOLBAR:
      OnViewToolbar();
      return true;
    case CMD_VIEW_STATUS_BAR:
      OnViewStatusBar();
      return true;
    case CMD_APP_ABOUT:
      OnAppAbout();
      return true;
    case CMD_VIEW_NAMES_SYSTEM:
    case CMD_VIEW_NAMES_1251:
      OnViewNamesCodePage(id);
      return true;
    case CMD_WINDOW_CLOSE:
      OnWindowClose();
      return true;
    case CMD_WINDOW_CLOSE_ALL:
      OnWindowCloseAll();
      return true;
    case CMD_NEXT_PANE:
    case CMD_PREV_PANE:
      OnSwitchPane();
      return true;
    case CMD_WINDOW_LIST_MORE:
      OnWindowsDialog();
      return true;
    default:
      if (ambience_ && OnAmbienceCommand(id)) return true;
      if (id >= CMD_FILE_MRU_FIRST && id < CMD_FILE_MRU_FIRST + RecentFiles::kMaxFiles) {
        OnFileRecent(id - CMD_FILE_MRU_FIRST);
        return true;
      }
      if (id < CMD_WINDOW_PAGE_FIRST || id > CMD_WINDOW_PAGE_LAST) return false;
      OnWindowPage(static_cast<int>(id - CMD_WINDOW_PAGE_FIRST));
      return true;
  }
}

// Goes the way of the close box, so the save prompt comes first.
void MainFrame::OnAppExit() { PostMessageW(Handle(), WM_CLOSE, 0, 0); }

void MainFrame::OnFileNew() {
  AmbientView* view = CreateView();
  if (view == nullptr) return;
  // The append row's settings change rebuilds the grid's fonts, so it comes first.
  view->StartNew();
  SendMessageW(view->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  tabView_.AddPage(view->Handle(), kNewDocumentTitle, -1, view);
}

void MainFrame::OnFileOpen() {
  const QuestionUp up(questionsUp_);
  FileDialog dialog = MakeOpenFileDialog(Handle());
  dialog.SetInitialFolder(DialogFolder(ActiveView()));
  if (dialog.Run(GetActiveWindow()) != IDOK) return;
  OpenDocument(dialog.FullPath());
}

// The page is titled with the file's name without its folder. A file already open only
// brings its page forward: two pages would let the later save silently undo the other's.
bool MainFrame::OpenDocument(const std::wstring& path, bool nameTheFile) {
  const int open = FindPageOfFile(path);
  if (open != -1) {
    tabView_.SetActivePage(open);
    NoteRecentFile(path);
    return true;
  }
  // A folder would be refused with the system's "access denied", which tells nothing.
  const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    ShowError(kCannotOpen + (L"\n" + path + L"\n" + LoadCommandString(STR_OPEN_FOLDER_NOT_FILE)));
    return false;
  }
  MarkStartup(L"  open: looked up");
  AmbientView* view = CreateView();
  if (view == nullptr) return false;
  MarkStartup(L"  open: view created");
  if (!view->Load(path.c_str())) {
    const std::wstring reason = view->GetLastLoadError();
    DestroyWindow(view->Handle());
    ReleaseClosedViews();
    std::wstring text = kCannotOpen;
    if (nameTheFile) text += L"\n" + path;
    if (!reason.empty()) text += L"\n" + reason;
    ShowError(text);
    return false;
  }
  const size_t folderEnd = path.find_last_of(L"\\/");
  const std::wstring name = folderEnd == std::wstring::npos ? path : path.substr(folderEnd + 1);
  MarkStartup(L"  open: loaded");
  if (!tabView_.AddPage(view->Handle(), name.c_str(), -1, view)) return false;
  MarkStartup(L"  open: page added");
  TellLoadDamage(*view, path);
  NoteRecentFile(path);
  MarkStartup(L"  open: recent noted");
  return true;
}

// Saves whether or not the document has changes; a document that never had a path goes
// through Save As.
void MainFrame::OnFileSave() {
  if (AmbientView* view = ActiveView()) SaveDocument(*view);
}

void MainFrame::OnFileSaveAs() {
  AmbientView* view = ActiveView();
  if (view == nullptr || !view->CommitEdit()) return;
  SaveDocumentAs(*view);
}

// The file dialogs open where the document is, or else where the user last opened or saved
// one (the process's current folder says nothing about either).
std::wstring MainFrame::DialogFolder(const AmbientView* view) const {
  if (view != nullptr && *view->GetPath() != L'\0') return ParentFolder(view->GetPath());
  return recentFiles_.Files().empty() ? std::wstring() : ParentFolder(recentFiles_.Files().front());
}

// The tab and the document take the new name only once it holds the document.
bool MainFrame::SaveDocumentAs(AmbientView& view) {
  const QuestionUp up(questionsUp_);
  FileDialog dialog = MakeSaveAsFileDialog(Handle());
  dialog.SetInitialFolder(DialogFolder(&view));
  if (dialog.Run(GetActiveWindow()) != IDOK) return false;
  const int open = FindPageOfFile(dialog.FullPath());
  if (open != -1 && tabView_.GetPageData(open) != &view) {
    ShowError(kCannotSave + (L"\n" + LoadCommandString(STR_FILE_OPEN_IN_OTHER_TAB)));
    return false;
  }
  if (!view.SaveAs(dialog.FullPath().c_str())) {
    ShowSaveError(view);
    return false;
  }
  ForgetLoadDamage(view);
  // The page of the document saved, which need not be the active one (Close All saves each).
  tabView_.SetPageTitle(PageOfView(&view), dialog.FullPath().c_str());
  DocumentSaved(view);
  NoteRecentFile(dialog.FullPath());
  return true;
}

void MainFrame::OnViewToolbar() {
  toolbarVisible = !toolbarVisible;
  if (rebar_ != nullptr) {
    const auto band = static_cast<int>(SendMessageW(rebar_, RB_IDTOINDEX, kToolbarBandId, 0));
    if (band != -1) SendMessageW(rebar_, RB_SHOWBAND, static_cast<WPARAM>(band), toolbarVisible);
  }
  commandStates_.SetCommandCheck(CMD_VIEW_TOOLBAR, toolbarVisible ? 1 : 0);
  LayoutChildren(true);
}

void MainFrame::OnViewStatusBar() {
  const bool visible = !IsWindowVisible(statusBar_);
  ShowWindow(statusBar_, visible ? SW_SHOWNOACTIVATE : SW_HIDE);
  commandStates_.SetCommandCheck(CMD_VIEW_STATUS_BAR, visible ? 1 : 0);
  LayoutChildren(true);
}

// Every dialog the frame waits for counts as a question: nothing may close or reload under it.
void MainFrame::OnAppAbout() {
  const QuestionUp up(questionsUp_);
  AboutDialog about;
  about.Run(GetActiveWindow());
}

// Nothing to close is an impossible command: the simple beep says so.
void MainFrame::OnWindowClose() {
  const int active = tabView_.GetActivePage();
  if (active == -1) {
    RefusalBeep();
    return;
  }
  if (!ConfirmClosePage(active)) return;
  tabView_.RemovePage(active);
  ReleaseClosedViews();
}

void MainFrame::OnWindowCloseAll() {
  if (!ConfirmCloseAll()) return;
  tabView_.RemoveAllPages();
  ReleaseClosedViews();
}

// The window list only offers pages that exist; a stray id for a missing page is ignored
// rather than leaving the container with an active page it does not have.
void MainFrame::OnWindowPage(int index) {
  if (index >= tabView_.GetPageCount()) return;
  tabView_.SetActivePage(index);
}

int MainFrame::FindPageOfFile(const std::wstring& path) const {
  for (int page = 0; page < tabView_.GetPageCount(); ++page) {
    const auto* view = static_cast<const AmbientView*>(tabView_.GetPageData(page));
    if (view != nullptr && view->GetPath()[0] != L'\0' && IsSameFile(view->GetPath(), path)) return page;
  }
  return -1;
}

// The two panes are the tab strip and the active page; F6 and Shift+F6 both go to the other.
void MainFrame::OnSwitchPane() {
  const int active = tabView_.GetActivePage();
  if (active == -1) return;
  HWND strip = tabView_.GetTabStrip();
  if (GetFocus() == strip) {
    SetFocus(tabView_.GetPageWindow(active));
  } else if (strip != nullptr) {
    SetFocus(strip);
  }
}

AmbientView* MainFrame::CreateView() {
  auto view = std::make_unique<AmbientView>();
  // Made hidden where its page goes: the tab container shows it once, at its final size.
  if (view->Create(ClientWindow(), tabView_.PageArea(), kViewStyle & ~WS_VISIBLE, 0) == nullptr) return nullptr;
  RestoreColumnWidths(*view);
  views_.push_back(std::move(view));
  MarkMissingSounds(*views_.back());
  DressNameEditors(*views_.back());
  return views_.back().get();
}

// The tab container destroys a page's window but never the view behind it.
void MainFrame::ReleaseClosedViews() {
  StopSoundOfClosedViews();
  ForgetClosedViews();
  std::erase_if(views_, [this](const std::unique_ptr<AmbientView>& view) {
    if (view->Handle() != nullptr) return false;
    // A view made later in its place must not inherit its reason.
    if (view.get() == reasonView_) EndReasonOfOtherView();
    ForgetLoadDamage(*view);
    return true;
  });
}

void MainFrame::ShowError(const std::wstring& text) {
  MessageBoxW(Handle(), text.c_str(), nullptr, MB_OK | MB_ICONERROR);
}

// The view says why its save failed (an entry it cannot store, the system's reason the file
// cannot be written); the user reads that under the usual message.
void MainFrame::ShowSaveError(const AmbientView& view) {
  std::wstring text = kCannotSave;
  if (!view.GetLastSaveError().empty()) text += L"\n" + view.GetLastSaveError();
  ShowError(text);
}
