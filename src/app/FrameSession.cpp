// What the frame keeps for the user beyond one document: the recent files, its own place on
// the screen, the files a second start hands over, the unsaved marks on the tabs and the list
// of all windows.
#include <cstring>
#include <cwchar>

#include "commands/CommandStrings.h"
#include "app/MainFrame.h"
#include "session/SingleInstance.h"
#include "session/WindowPlacement.h"
#include "app/WindowsDialog.h"
#include "resources/ResourceIds.h"

namespace {

// The "&File" popup, which receives the recent files.
constexpr int kFileMenuPosition = 0;
constexpr const wchar_t* kColumnWidthsSetting = L"ColumnWidths";
constexpr DWORD kNarrowestColumn = 8;
constexpr DWORD kWidestColumn = 4000;
// Posted to itself: open the files another start handed over, once that start has its answer.
constexpr UINT kOpenHandedFiles = WM_APP + 0x2F1;

// The string `id` with `argument` in place of %1.
std::wstring FormatString(UINT id, const std::wstring& argument) {
  std::wstring text = LoadCommandString(id);
  const size_t mark = text.find(L"%1");
  if (mark != std::wstring::npos) text.replace(mark, 2, argument);
  return text;
}

}  // namespace

bool MainFrame::HandleSessionMessage(Message& m) {
  switch (m.msg) {
    case WM_COPYDATA:
      m.result = OnCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(m.lParam)) ? TRUE : FALSE;
      return true;
    case kOpenHandedFiles:
      OpenHandedFiles();
      m.result = 0;
      return true;
    default:
      return false;
  }
}

bool MainFrame::ShowWhereLastClosed(int showCommand) {
  return RestorePlacement(settings_, Handle(), showCommand);
}

// The place of the window and the widths the active document's columns were left at.
void MainFrame::SaveWhereClosed() {
  SavePlacement(settings_, Handle());
  const AmbientView* view = ActiveView();
  if (view == nullptr) return;
  std::vector<BYTE> bytes;
  for (int width : view->GetColumnWidths96()) {
    const auto value = static_cast<DWORD>(width);
    bytes.insert(bytes.end(), reinterpret_cast<const BYTE*>(&value), reinterpret_cast<const BYTE*>(&value + 1));
  }
  settings_.SetBytes(kColumnWidthsSetting, bytes);
}

// Widths out of all reason (a damaged value) leave the columns as they are made.
void MainFrame::RestoreColumnWidths(AmbientView& view) const {
  const auto bytes = settings_.GetBytes(kColumnWidthsSetting);
  if (!bytes || bytes->size() % sizeof(DWORD) != 0) return;
  std::vector<int> widths;
  for (size_t offset = 0; offset < bytes->size(); offset += sizeof(DWORD)) {
    DWORD value = 0;
    std::memcpy(&value, bytes->data() + offset, sizeof(value));
    if (value < kNarrowestColumn || value > kWidestColumn) return;
    widths.push_back(static_cast<int>(value));
  }
  view.SetColumnWidths96(widths);
}

// ---- recent files ----

void MainFrame::NoteRecentFile(const std::wstring& path) {
  recentFiles_.Add(path);
  UpdateRecentMenu();
}

void MainFrame::UpdateRecentMenu() {
  recentFiles_.FillMenu(GetSubMenu(commandBar_.GetMenu(), kFileMenuPosition));
}

// A file that went away since is taken off the list, with a word why nothing opened.
void MainFrame::OnFileRecent(size_t index) {
  if (index >= recentFiles_.Files().size()) return;
  const std::wstring path = recentFiles_.Files()[index];
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    recentFiles_.Remove(path);
    UpdateRecentMenu();
    ShowError(FormatString(STR_RECENT_FILE_GONE, path));
    return;
  }
  OpenDocument(path);
}

// ---- files handed over by a second start ----

// Only copied here: the sender waits for the answer, and opening may show message boxes. A
// hand-over its sender has taken back (it stopped waiting and opened its own window) is not
// carried out: the files would be open in two windows.
bool MainFrame::OnCopyData(const COPYDATASTRUCT& data) {
  if (data.dwData != kOpenFilesData) return false;
  std::vector<std::wstring> list = UnpackFileList(data.lpData, data.cbData);
  if (list.empty() || !TakeHandOver(list.front())) return false;
  for (auto file = list.begin() + 1; file != list.end(); ++file) handedFiles_.push_back(std::move(*file));
  PostMessageW(Handle(), kOpenHandedFiles, 0, 0);
  return true;
}

void MainFrame::OpenHandedFiles() {
  if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
  SetForegroundWindow(Handle());
  std::vector<std::wstring> files;
  files.swap(handedFiles_);
  for (const std::wstring& file : files) OpenDocument(file, true);
}

// ---- unsaved marks ----

// Called on every idle pass; the tabs change only when a document's state did. The mark goes
// where closing would ask to save, so an untouched new document carries none.
void MainFrame::UpdateUnsavedMarks() {
  for (int page = 0; page < tabView_.GetPageCount(); ++page) {
    const auto* view = static_cast<const AmbientView*>(tabView_.GetPageData(page));
    tabView_.SetPageMarked(page, view != nullptr && !DocumentsFeature::HoldsNothingToLose(*view));
  }
}

// ---- the list of all windows ----

void MainFrame::OnWindowsDialog() {
  WindowsDialog::Pages pages;
  pages.titles = [this] {
    std::vector<std::wstring> titles;
    // Numbered as in the Window menu: untitled documents share one name.
    for (int page = 0; page < tabView_.GetPageCount(); ++page)
      titles.push_back(std::to_wstring(page + 1) + L"  " + tabView_.GetShownTitle(page));
    return titles;
  };
  pages.active = [this] { return tabView_.GetActivePage(); };
  pages.close = [this](int page) {
    if (!documents_->ConfirmClosePage(page)) return false;
    documents_->ClosePage(page);
    return true;
  };
  const QuestionUp up(*this);
  WindowsDialog dialog(std::move(pages));
  const int chosen = dialog.Run(Handle());
  if (chosen >= 0 && chosen < tabView_.GetPageCount()) tabView_.SetActivePage(chosen);
}
