// The frame's command table: file, view, window and help commands.
#include <memory>

#include "app/AboutDialog.h"
#include "app/FileDialog.h"
#include "app/MainFrame.h"
#include "app/resources/ResourceIds.h"

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
    case CMD_WINDOW_CLOSE:
      OnWindowClose();
      return true;
    case CMD_WINDOW_CLOSE_ALL:
      OnWindowCloseAll();
      return true;
    default:
      if (id < CMD_WINDOW_PAGE_FIRST || id > CMD_WINDOW_PAGE_LAST) return false;
      OnWindowPage(static_cast<int>(id - CMD_WINDOW_PAGE_FIRST));
      return true;
  }
}

// Closing asks nothing: unsaved changes go with the window.
void MainFrame::OnAppExit() { PostMessageW(Handle(), WM_CLOSE, 0, 0); }

void MainFrame::OnFileNew() {
  AmbientView* view = CreateView();
  if (view == nullptr) return;
  SendMessageW(view->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  tabView_.AddPage(view->Handle(), kNewDocumentTitle, -1, view);
}

void MainFrame::OnFileOpen() {
  FileDialog dialog = MakeOpenFileDialog(Handle());
  if (dialog.Run(GetActiveWindow()) != IDOK) return;
  OpenDocument(dialog.FullPath());
}

bool MainFrame::OpenDocument(const std::wstring& path) {
  AmbientView* view = CreateView();
  if (view == nullptr) return false;
  if (!view->Load(path.c_str())) {
    DestroyWindow(view->Handle());
    ReleaseClosedViews();
    ShowError(kCannotOpen);
    return false;
  }
  const size_t nameStart = path.find_last_of(L"\\/");
  const std::wstring title = nameStart == std::wstring::npos ? path : path.substr(nameStart + 1);
  tabView_.AddPage(view->Handle(), title.c_str(), -1, view);
  return true;
}

// Saves whether or not the document has changes; a document that never had a path goes
// through Save As.
void MainFrame::OnFileSave() {
  AmbientView* view = ActiveView();
  if (view == nullptr) return;
  if (view->GetPath()[0] == L'\0') {
    OnFileSaveAs();
    return;
  }
  if (!view->Save()) ShowSaveError(*view);
}

// The tab and the document take the new name even when the save then fails.
void MainFrame::OnFileSaveAs() {
  AmbientView* view = ActiveView();
  if (view == nullptr) return;
  FileDialog dialog = MakeSaveAsFileDialog(Handle());
  if (dialog.Run(GetActiveWindow()) != IDOK) return;
  tabView_.SetPageTitle(tabView_.GetActivePage(), dialog.FullPath());
  if (!view->SaveAs(dialog.FullPath())) ShowSaveError(*view);
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

void MainFrame::OnAppAbout() {
  AboutDialog about;
  about.Run(GetActiveWindow());
}

// Nothing to close is an impossible command: the simple beep says so.
void MainFrame::OnWindowClose() {
  const int active = tabView_.GetActivePage();
  if (active == -1) {
    MessageBeep(0xFFFFFFFF);
    return;
  }
  tabView_.RemovePage(active);
  ReleaseClosedViews();
}

void MainFrame::OnWindowCloseAll() {
  tabView_.RemoveAllPages();
  ReleaseClosedViews();
}

// The window list only offers pages that exist; a stray id for a missing page is ignored
// rather than leaving the container with an active page it does not have.
void MainFrame::OnWindowPage(int index) {
  if (index >= tabView_.GetPageCount()) return;
  tabView_.SetActivePage(index);
}

AmbientView* MainFrame::CreateView() {
  auto view = std::make_unique<AmbientView>();
  if (view->Create(ClientWindow(), RECT{}, kViewStyle, 0) == nullptr) return nullptr;
  views_.push_back(std::move(view));
  return views_.back().get();
}

// The tab container destroys a page's window but never the view behind it.
void MainFrame::ReleaseClosedViews() {
  std::erase_if(views_, [](const std::unique_ptr<AmbientView>& view) { return view->Handle() == nullptr; });
}

void MainFrame::ShowError(const std::wstring& text) {
  MessageBoxW(Handle(), text.c_str(), nullptr, MB_OK | MB_ICONERROR);
}

// The view says why its save failed (a text too long for its field, a file that cannot be
// written); the user reads that under the usual message.
void MainFrame::ShowSaveError(const AmbientView& view) {
  std::wstring text = kCannotSave;
  if (!view.GetLastSaveError().empty()) text += L"\n" + view.GetLastSaveError();
  ShowError(text);
}
