#include "session/SessionFeature.h"

#include <cstring>
#include <cwchar>

#include "editor/AmbientView.h"
#include "commands/CommandStrings.h"
#include "session/SingleInstance.h"
#include "session/WindowPlacement.h"

namespace {

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

SessionFeature::SessionFeature(FrameServices& frame, Settings& settings, HMENU fileMenu, OpenFile open)
    : frame_(frame), settings_(settings), fileMenu_(fileMenu), open_(std::move(open)) {
  UpdateRecentMenu();
}

void SessionFeature::AddTo(CommandTable& table) {
  table.Add(CMD_FILE_MRU_FIRST, CMD_FILE_MRU_FIRST + RecentFiles::kMaxFiles - 1, *this);
}

bool SessionFeature::OnCommand(UINT id) {
  if (id < CMD_FILE_MRU_FIRST || id >= CMD_FILE_MRU_FIRST + RecentFiles::kMaxFiles) return false;
  OnFileRecent(id - CMD_FILE_MRU_FIRST);
  return true;
}

std::wstring SessionFeature::LastFile() const {
  return recentFiles_.Files().empty() ? std::wstring() : recentFiles_.Files().front();
}

bool SessionFeature::HandleMessage(Message& m) {
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

bool SessionFeature::ShowWhereLastClosed(int showCommand) {
  return RestorePlacement(settings_, frame_.FrameWindow(), showCommand);
}

// The place of the window and the widths the active document's columns were left at.
void SessionFeature::SaveWhereClosed() {
  SavePlacement(settings_, frame_.FrameWindow());
  const AmbientView* view = frame_.ActiveView();
  if (view == nullptr) return;
  std::vector<BYTE> bytes;
  for (int width : view->GetColumnWidths96()) {
    const auto value = static_cast<DWORD>(width);
    bytes.insert(bytes.end(), reinterpret_cast<const BYTE*>(&value), reinterpret_cast<const BYTE*>(&value + 1));
  }
  settings_.SetBytes(kColumnWidthsSetting, bytes);
}

// Widths out of all reason (a damaged value) leave the columns as they are made.
void SessionFeature::RestoreColumnWidths(AmbientView& view) const {
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

void SessionFeature::NoteRecentFile(const std::wstring& path) {
  recentFiles_.Add(path);
  UpdateRecentMenu();
}

void SessionFeature::UpdateRecentMenu() {
  recentFiles_.FillMenu(fileMenu_);
}

// A file that went away since is taken off the list, with a word why nothing opened.
void SessionFeature::OnFileRecent(size_t index) {
  if (index >= recentFiles_.Files().size()) return;
  const std::wstring path = recentFiles_.Files()[index];
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    recentFiles_.Remove(path);
    UpdateRecentMenu();
    frame_.ShowError(FormatString(STR_RECENT_FILE_GONE, path));
    return;
  }
  open_(path, false);
}

// ---- files handed over by a second start ----

// Only copied here: the sender waits for the answer, and opening may show message boxes. A
// hand-over its sender has taken back (it stopped waiting and opened its own window) is not
// carried out: the files would be open in two windows.
bool SessionFeature::OnCopyData(const COPYDATASTRUCT& data) {
  if (data.dwData != kOpenFilesData) return false;
  std::vector<std::wstring> list = UnpackFileList(data.lpData, data.cbData);
  if (list.empty() || !TakeHandOver(list.front())) return false;
  for (auto file = list.begin() + 1; file != list.end(); ++file) handedFiles_.push_back(std::move(*file));
  PostMessageW(frame_.FrameWindow(), kOpenHandedFiles, 0, 0);
  return true;
}

void SessionFeature::OpenHandedFiles() {
  HWND window = frame_.FrameWindow();
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  SetForegroundWindow(window);
  std::vector<std::wstring> files;
  files.swap(handedFiles_);
  for (const std::wstring& file : files) open_(file, true);
}
