// The documents and their files: New, Open, Save and Save As, closing pages, and the views
// the pages show.
#include "documents/DocumentsFeature.h"

#include <memory>

#include "format/FileAccess.h"
#include "commands/CommandStateMap.h"
#include "commands/CommandStrings.h"
#include "documents/FileDialog.h"
#include "sound/SoundFolderSearch.h"
#include "tabs/TabView.h"
#include "win/StartupMarks.h"
#include "win/RefusalBeep.h"

namespace {

constexpr wchar_t kNewDocumentTitle[] = L"Новый";
constexpr wchar_t kCannotOpen[] = L"Не могу открыть файл!";
constexpr wchar_t kCannotSave[] = L"Не могу сохранить файл!";
constexpr DWORD kViewStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | LVS_REPORT |
                             LVS_SHOWSELALWAYS | LVS_NOSORTHEADER;

}  // namespace

DocumentsFeature::DocumentsFeature(FrameServices& frame, CommandStateMap& states, Host host)
    : frame_(frame), states_(states), host_(std::move(host)) {
  LoadNamesCodePage();
}

DocumentsFeature::~DocumentsFeature() { StopCopyingOnCrash(); }

void DocumentsFeature::StopCopyingOnCrash() {
  if (recovery_) WriteRecoveryCopiesOnCrash(nullptr);
}

bool DocumentsFeature::OnCommand(UINT id) {
  switch (id) {
    case CMD_FILE_NEW:
      OnFileNew();
      return true;
    case CMD_FILE_OPEN:
      OnFileOpen();
      return true;
    case CMD_FILE_SAVE:
      // Saves whether or not the document has changes; a document that never had a path goes
      // through Save As.
      if (AmbientView* view = frame_.ActiveView()) SaveDocument(*view);
      return true;
    case CMD_FILE_SAVE_AS:
      if (AmbientView* view = frame_.ActiveView(); view != nullptr && view->CommitEdit()) SaveDocumentAs(*view);
      return true;
    case CMD_WINDOW_CLOSE:
      OnWindowClose();
      return true;
    case CMD_WINDOW_CLOSE_ALL:
      OnWindowCloseAll();
      return true;
    case CMD_VIEW_NAMES_SYSTEM:
    case CMD_VIEW_NAMES_1251:
      OnViewNamesCodePage(id);
      return true;
    default:
      return false;
  }
}

void DocumentsFeature::UpdateStates(CommandStateMap& states) {
  const AmbientView* view = frame_.ActiveView();
  states.EnableCommand(CMD_FILE_SAVE, view != nullptr && view->IsModified());
  states.EnableCommand(CMD_FILE_SAVE_AS, view != nullptr);
  if (recoveryDue_) ScheduleRecoveryCopies();
}

void DocumentsFeature::ApplyDpi(UINT dpi) {
  for (const auto& view : views_) view->ApplyDpi(dpi);
}

void DocumentsFeature::ClosePage(int index) {
  frame_.PageTabs().RemovePage(index);
  ReleaseClosedViews();
}

void DocumentsFeature::OnFileNew() {
  AmbientView* view = CreateView();
  if (view == nullptr) return;
  // The append row's settings change rebuilds the grid's fonts, so it comes first.
  view->StartNew();
  SendMessageW(view->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  frame_.PageTabs().AddPage(view->Handle(), kNewDocumentTitle, -1, view);
}

void DocumentsFeature::OnFileOpen() {
  const QuestionUp up(frame_);
  FileDialog dialog = MakeOpenFileDialog(frame_.FrameWindow());
  dialog.SetInitialFolder(DialogFolder(frame_.ActiveView()));
  if (dialog.Run(GetActiveWindow()) != IDOK) return;
  OpenDocument(dialog.FullPath());
}

// The page is titled with the file's name without its folder. A file already open only
// brings its page forward: two pages would let the later save silently undo the other's.
// The page is titled with the file's name without its folder. A file already open only
// brings its page forward: two pages would let the later save silently undo the other's.
bool DocumentsFeature::OpenDocument(const std::wstring& path, bool nameTheFile) {
  const int open = FindPageOfFile(path);
  if (open != -1) {
    frame_.PageTabs().SetActivePage(open);
    host_.noteRecentFile(path);
    return true;
  }
  // A folder would be refused with the system's "access denied", which tells nothing.
  const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    frame_.ShowError(kCannotOpen + (L"\n" + path + L"\n" + LoadCommandString(STR_OPEN_FOLDER_NOT_FILE)));
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
    frame_.ShowError(text);
    return false;
  }
  const size_t folderEnd = path.find_last_of(L"\\/");
  const std::wstring name = folderEnd == std::wstring::npos ? path : path.substr(folderEnd + 1);
  MarkStartup(L"  open: loaded");
  if (!frame_.PageTabs().AddPage(view->Handle(), name.c_str(), -1, view)) return false;
  MarkStartup(L"  open: page added");
  TellLoadDamage(*view, path);
  host_.noteRecentFile(path);
  MarkStartup(L"  open: recent noted");
  return true;
}

// The file dialogs open where the document is, or else where the user last opened or saved
// one (the process's current folder says nothing about either).
std::wstring DocumentsFeature::DialogFolder(const AmbientView* view) const {
  if (view != nullptr && *view->GetPath() != L'\0') return ParentFolder(view->GetPath());
  const std::wstring last = host_.lastFile();
  return last.empty() ? std::wstring() : ParentFolder(last);
}

// The tab and the document take the new name only once it holds the document.
bool DocumentsFeature::SaveDocumentAs(AmbientView& view) {
  const QuestionUp up(frame_);
  FileDialog dialog = MakeSaveAsFileDialog(frame_.FrameWindow());
  dialog.SetInitialFolder(DialogFolder(&view));
  if (dialog.Run(GetActiveWindow()) != IDOK) return false;
  const int open = FindPageOfFile(dialog.FullPath());
  if (open != -1 && frame_.PageTabs().GetPageData(open) != &view) {
    frame_.ShowError(kCannotSave + (L"\n" + LoadCommandString(STR_FILE_OPEN_IN_OTHER_TAB)));
    return false;
  }
  if (!view.SaveAs(dialog.FullPath().c_str())) {
    ShowSaveError(view);
    return false;
  }
  ForgetLoadDamage(view);
  // The page of the document saved, which need not be the active one (Close All saves each).
  frame_.PageTabs().SetPageTitle(PageOfView(&view), dialog.FullPath().c_str());
  DocumentSaved(view);
  host_.noteRecentFile(dialog.FullPath());
  return true;
}

// Nothing to close is an impossible command: the simple beep says so.
void DocumentsFeature::OnWindowClose() {
  const int active = frame_.PageTabs().GetActivePage();
  if (active == -1) {
    RefusalBeep();
    return;
  }
  if (!ConfirmClosePage(active)) return;
  ClosePage(active);
}

void DocumentsFeature::OnWindowCloseAll() {
  if (!ConfirmCloseAll()) return;
  frame_.PageTabs().RemoveAllPages();
  ReleaseClosedViews();
}

int DocumentsFeature::FindPageOfFile(const std::wstring& path) const {
  for (int page = 0; page < frame_.PageTabs().GetPageCount(); ++page) {
    const auto* view = static_cast<const AmbientView*>(frame_.PageTabs().GetPageData(page));
    if (view != nullptr && view->GetPath()[0] != L'\0' && IsSameFile(view->GetPath(), path)) return page;
  }
  return -1;
}

AmbientView* DocumentsFeature::CreateView() {
  auto view = std::make_unique<AmbientView>();
  // Made hidden where its page goes: the tab container shows it once, at its final size.
  if (view->Create(frame_.PageTabs().Handle(), frame_.PageTabs().PageArea(), kViewStyle & ~WS_VISIBLE, 0) == nullptr) return nullptr;
  host_.restoreColumnWidths(*view);
  views_.push_back(std::move(view));
  host_.viewCreated(*views_.back());
  return views_.back().get();
}

// The tab container destroys a page's window but never the view behind it.
void DocumentsFeature::ReleaseClosedViews() {
  host_.viewsClosing();
  ForgetClosedViews();
  std::erase_if(views_, [this](const std::unique_ptr<AmbientView>& view) {
    if (view->Handle() != nullptr) return false;
    ForgetLoadDamage(*view);
    return true;
  });
}

// The view says why its save failed (an entry it cannot store, the system's reason the file
// cannot be written); the user reads that under the usual message.
void DocumentsFeature::ShowSaveError(const AmbientView& view) {
  std::wstring text = kCannotSave;
  if (!view.GetLastSaveError().empty()) text += L"\n" + view.GetLastSaveError();
  frame_.ShowError(text);
}
