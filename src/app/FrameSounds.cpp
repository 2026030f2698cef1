// The frame's sound commands: playing the selected entry's file, the sound folder (chosen by
// the user or found near the document), and the names whose files are not in it.
// The platform header before the common controls'.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <cwchar>
#include <initializer_list>

#include "app/CommandStrings.h"
#include "app/FileDialog.h"
#include "app/MainFrame.h"
#include "app/MenuPrompts.h"
#include "app/Settings.h"
#include "app/SoundFolderDialog.h"
#include "app/StatusPanes.h"
#include "celleditors/InplaceEdit.h"
#include "resources/ResourceIds.h"
#include "sound/SoundFolderSearch.h"
#include "win/RefusalBeep.h"

namespace {

constexpr wchar_t kSoundFolderSetting[] = L"SoundFolder";
// The document view's column of file names.
constexpr int kSoundNameColumn = 1;
// A string with %1, %2... filled in, in the interface language.
std::wstring FormatText(UINT id, std::initializer_list<std::wstring> arguments) {
  std::vector<DWORD_PTR> pointers;
  for (const std::wstring& argument : arguments) pointers.push_back(reinterpret_cast<DWORD_PTR>(argument.c_str()));
  const std::wstring pattern = LoadCommandString(id);
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                     pattern.c_str(), 0, 0, reinterpret_cast<LPWSTR>(&text), 0,
                     reinterpret_cast<va_list*>(pointers.data()));
  std::wstring result = length == 0 ? pattern : std::wstring(text, length);
  LocalFree(text);
  return result;
}

std::wstring FileNameOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring SystemErrorText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::wstring result = length == 0 ? FormatText(STR_REASON_SYSTEM_ERROR, {std::to_wstring(error)})
                                    : std::wstring(text, length);
  LocalFree(text);
  while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r' || result.back() == L' ')) result.pop_back();
  return result;
}

std::wstring FailureReason(const PlayStatus& status) {
  switch (status.failure) {
    case PlayFailure::CannotRead:
      return SystemErrorText(status.systemError);
    case PlayFailure::Refused:
      return LoadCommandString(STR_SOUND_REFUSED_FIRST + static_cast<UINT>(status.refusal));
    case PlayFailure::NoDevice:
      return LoadCommandString(STR_SOUND_NO_DEVICE);
    case PlayFailure::DeviceError:
      return FormatText(STR_SOUND_DEVICE_ERROR, {std::to_wstring(status.deviceError)});
    case PlayFailure::OutOfMemory:
      return LoadCommandString(STR_SOUND_NO_MEMORY);
    case PlayFailure::None:
      break;
  }
  return {};
}

// m:ss.t, as a player shows a length.
std::wstring LengthText(std::uint64_t milliseconds) {
  wchar_t text[32]{};
  std::swprintf(text, 32, L"%llu:%02llu.%llu", milliseconds / 60000, milliseconds / 1000 % 60, milliseconds / 100 % 10);
  return text;
}

std::wstring EntryName(const AmbientView& view, int entry) {
  const auto& name = view.GetEntry(entry).values.audioFile;
  return name ? *name : std::wstring();
}

}  // namespace

bool MainFrame::OnSoundCommand(UINT id) {
  switch (id) {
    case CMD_SOUND_PLAY:
      OnSoundPlay();
      return true;
    case CMD_SOUND_STOP:
      OnSoundStop();
      return true;
    case CMD_SOUND_NEXT_MISSING:
      OnSelectMissingSound(1);
      return true;
    case CMD_SOUND_PREV_MISSING:
      OnSelectMissingSound(-1);
      return true;
    case CMD_VIEW_SOUND_FOLDER:
      OnViewSoundFolder();
      return true;
    case CMD_VIEW_SOUND_FOLDER_AUTO:
      OnFindSoundFolderAutomatically();
      return true;
    default:
      return false;
  }
}

void MainFrame::OnSoundPlay() {
  if (preview_) preview_->Stop();
  AmbientView* view = ActiveView();
  const int entry = view != nullptr ? view->GetSelectedEntry() : -1;
  if (entry < 0) {
    RefusalBeep();
    return;
  }
  UpdateSoundFolder();
  const std::wstring name = EntryName(*view, entry);
  if (soundCheck_.Folder().empty() || name.empty()) {
    RefuseEntryCommand(LoadCommandString(soundCheck_.Folder().empty() ? STR_SOUND_NO_FOLDER : STR_SOUND_NO_NAME));
    return;
  }
  EndStatusReason(statusBar_);
  playingView_ = view;
  player_.Play(soundCheck_.FullPath(name));
  ShowSoundText(FormatText(STR_SOUND_PLAYING, {FileNameOf(name)}));
}

void MainFrame::OnSoundStop() {
  if (preview_) preview_->Stop();
  player_.Stop();
  playingView_ = nullptr;
  ShowSoundText(LoadCommandString(STR_READY));
}

// The worker says the sound started, ended or failed; an older sound's notice is stale.
void MainFrame::OnSoundNotice(unsigned generation) {
  const PlayStatus status = player_.Status();
  if (status.generation != generation) return;
  const std::wstring name = FileNameOf(status.path);
  switch (status.state) {
    case PlayState::Playing:
      ShowSoundText(FormatText(STR_SOUND_PLAYING_LENGTH, {name, LengthText(status.durationMs)}));
      break;
    case PlayState::Failed:
      playingView_ = nullptr;
      ShowSoundText(LoadCommandString(STR_READY));
      ShowStatusReason(FormatText(STR_SOUND_CANNOT_PLAY, {name, FailureReason(status)}));
      break;
    case PlayState::Finished:
    case PlayState::Idle:
      playingView_ = nullptr;
      ShowSoundText(LoadCommandString(STR_READY));
      break;
  }
}

// Walks from the selected entry to the next (or previous) one whose file is not found,
// round the end of the list.
void MainFrame::OnSelectMissingSound(int step) {
  AmbientView* view = ActiveView();
  if (view == nullptr) {
    RefusalBeep();
    return;
  }
  UpdateSoundFolder();
  const int count = view->GetEntryCount();
  const int start = view->GetSelectedEntry() >= 0 ? view->GetSelectedEntry() : (step > 0 ? -1 : count);
  for (int offset = 1; offset <= count; ++offset) {
    const int entry = ((start + step * offset) % count + count) % count;
    if (soundCheck_.IsMissing(EntryName(*view, entry))) {
      EndStatusReason(statusBar_);
      view->SelectCell(entry, kSoundNameColumn);
      return;
    }
  }
  RefuseEntryCommand(LoadCommandString(soundCheck_.Folder().empty() ? STR_SOUND_NO_FOLDER : STR_SOUND_NONE_MISSING));
}

// The picker opens at the folder in use, or else at the active document's own folder.
void MainFrame::OnViewSoundFolder() {
  const QuestionUp up(questionsUp_);
  UpdateSoundFolder();
  std::wstring initial = soundCheck_.Folder();
  if (const AmbientView* view = ActiveView(); initial.empty() && view != nullptr && *view->GetPath() != L'\0')
    initial = ParentFolder(view->GetPath());
  const auto chosen = PickSoundFolder(Handle(), LoadCommandString(STR_SOUND_FOLDER_TITLE), initial);
  if (!chosen) return;
  settings_.SetString(kSoundFolderSetting, *chosen);
  soundCheck_.SetFolder(*chosen);
  UpdateSoundState();
}

// The chosen folder is given up: each document's names are looked for near it again.
void MainFrame::OnFindSoundFolderAutomatically() {
  settings_.SetString(kSoundFolderSetting, L"");
  searchedDocumentPath_.clear();
  foundFolder_.clear();
  UpdateSoundState();
}

// The user's choice wins; without one, the folder found near the active document, looked for
// once per document path.
void MainFrame::UpdateSoundFolder() {
  const auto chosen = settings_.GetString(kSoundFolderSetting);
  if (chosen && !chosen->empty()) {
    soundCheck_.SetFolder(*chosen);
    return;
  }
  const AmbientView* view = ActiveView();
  const std::wstring path = view != nullptr ? view->GetPath() : L"";
  if (path != searchedDocumentPath_) {
    searchedDocumentPath_ = path;
    std::vector<std::wstring> names;
    for (int entry = 0; view != nullptr && entry < view->GetEntryCount(); ++entry) names.push_back(EntryName(*view, entry));
    const auto found = path.empty() ? std::nullopt : FindSoundFolder(ParentFolder(path), names, [](const std::wstring& file) {
      const DWORD attributes = GetFileAttributesW(file.c_str());
      return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    });
    foundFolder_ = found.value_or(L"");
  }
  soundCheck_.SetFolder(foundFolder_);
}

// At idle: the folder in use, the count of names not found, the panes and the commands' states.
void MainFrame::UpdateSoundState() {
  UpdateSoundFolder();
  const AmbientView* view = ActiveView();
  int named = 0, missing = 0;
  std::vector<std::wstring> names;
  for (int entry = 0; view != nullptr && entry < view->GetEntryCount(); ++entry) {
    names.push_back(EntryName(*view, entry));
    named += !names.back().empty();
    missing += soundCheck_.IsMissing(names.back());
  }
  // The marks follow the files and the names: the page is drawn again when what it shows as
  // missing changed.
  if (soundCheck_.ShowMissing(names) && view != nullptr) InvalidateRect(view->Handle(), nullptr, FALSE);
  const bool folder = !soundCheck_.Folder().empty();
  std::wstring count;
  if (folder && view != nullptr && named > 0) {
    count = missing > 0 ? FormatText(STR_SOUNDS_MISSING, {std::to_wstring(missing), std::to_wstring(named)})
                        : FormatText(STR_SOUNDS_ALL_FOUND, {std::to_wstring(named)});
  }
  SetSoundPanes(count, folder ? FormatText(STR_SOUND_FOLDER_PANE, {soundCheck_.Folder()})
                              : LoadCommandString(STR_SOUND_FOLDER_UNKNOWN));
  const bool selected = view != nullptr && view->GetSelectedEntry() >= 0;
  commandStates_.EnableCommand(CMD_SOUND_PLAY, folder && selected);
  commandStates_.EnableCommand(CMD_SOUND_STOP, player_.IsPlaying());
  commandStates_.EnableCommand(CMD_SOUND_NEXT_MISSING, missing > 0);
  commandStates_.EnableCommand(CMD_SOUND_PREV_MISSING, missing > 0);
  const auto chosen = settings_.GetString(kSoundFolderSetting);
  commandStates_.SetCommandCheck(CMD_VIEW_SOUND_FOLDER_AUTO, chosen && !chosen->empty() ? 0 : 1);
}

void MainFrame::SetSoundPanes(const std::wstring& count, const std::wstring& folder) {
  if (statusBar_ == nullptr || (count == soundPanes_[0] && folder == soundPanes_[1])) return;
  soundPanes_[0] = count;
  soundPanes_[1] = folder;
  LayoutStatusPanes();
}

void MainFrame::LayoutStatusPanes() {
  if (statusBar_ != nullptr) ::LayoutStatusPanes(statusBar_, soundPanes_[0], soundPanes_[1]);
}

void MainFrame::ShowSoundText(const std::wstring& text) {
  if (statusBar_ != nullptr) SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Escape stops a sound, unless a cell editor or the menu bar has a use for it.
bool MainFrame::IsStopSoundKey(const MSG& msg) const {
  const bool sounding = player_.IsPlaying() || (preview_ && preview_->IsPlaying());
  return msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && sounding && !CellEditorOpen() &&
         (msg.hwnd == Handle() || IsChild(Handle(), msg.hwnd));
}

// The name cells of entries whose files are not found carry the grid's warning mark, and say
// where the file was looked for in their tooltip. Painting only reads what the idle pass has
// taken as shown (UpdateSoundState), which repaints the page when the marks change.
void MainFrame::MarkMissingSounds(AmbientView& view) {
  view.SetCellWarning([this, &view](int row, int col) -> std::wstring {
    // Only the page shown is the active one; asking the tabs which it is would cost two
    // messages to the tab strip for every name cell painted.
    if (col != kSoundNameColumn || row < 0 || row >= view.GetEntryCount() || !IsWindowVisible(view.Handle()))
      return {};
    const std::wstring name = EntryName(view, row);
    if (!soundCheck_.IsShownMissing(name)) return {};
    return FormatText(STR_SOUND_NOT_FOUND, {soundCheck_.FullPath(name)});
  });
}

// F4 and Alt+Down in the open name editor browse for the file, as they drop a combo box.
bool MainFrame::IsBrowseSoundKey(const MSG& msg) const {
  const AmbientView* view = ActiveView();
  if (view == nullptr || msg.hwnd != view->GetEditor() || view->GetEditColumn() != kSoundNameColumn) return false;
  const bool alt = GetKeyState(VK_MENU) < 0, shift = GetKeyState(VK_SHIFT) < 0, control = GetKeyState(VK_CONTROL) < 0;
  if (shift || control) return false;
  return (msg.message == WM_KEYDOWN && msg.wParam == VK_F4 && !alt) ||
         (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_DOWN && alt);
}

// The Open dialog in the sound folder; the chosen file goes in as its path relative to the
// folder, through the name editor as if typed, so that the name's checks and the history see
// it like any other edit. A file outside the folder has no such path and is refused.
void MainFrame::OnBrowseSoundName() {
  AmbientView* view = ActiveView();
  const int row = view->GetEditRow();
  UpdateSoundFolder();
  const std::wstring folder = soundCheck_.Folder();
  if (folder.empty()) {
    RefuseEntryCommand(LoadCommandString(STR_SOUND_NO_FOLDER));
    return;
  }
  // The dialog takes the focus, which would end the edit anyway: end it as a click elsewhere does.
  if (!view->CommitEdit()) return;
  const std::wstring filter = ConvertFilter(LoadCommandString(STR_SOUND_FILE_FILTER));
  wchar_t path[MAX_PATH]{};
  OPENFILENAMEW record{};
  record.lStructSize = sizeof(record);
  record.hwndOwner = Handle();
  record.lpstrFilter = filter.c_str();
  record.lpstrFile = path;
  record.nMaxFile = MAX_PATH;
  record.lpstrInitialDir = folder.c_str();
  record.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  // A reload under the dialog would put the picked name into another document's entry.
  const QuestionUp up(questionsUp_);
  if (!GetOpenFileNameW(&record)) return;
  std::wstring chosen = path;
  std::wstring prefix = JoinSoundPath(folder, L"");
  if (chosen.size() <= prefix.size() ||
      CompareStringOrdinal(chosen.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                           static_cast<int>(prefix.size()), TRUE) != CSTR_EQUAL) {
    RefuseEntryCommand(FormatText(STR_SOUND_OUTSIDE_FOLDER, {chosen, folder}));
    return;
  }
  const std::wstring relative = chosen.substr(prefix.size());
  view->SelectCell(row, kSoundNameColumn);
  if (!view->OpenEditor(view->GetCellItem(row, kSoundNameColumn), row, kSoundNameColumn)) return;
  HWND editor = view->GetEditor();
  SendMessageW(editor, EM_SETSEL, 0, -1);
  SendMessageW(editor, WM_CLEAR, 0, 0);
  SendMessageW(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(relative.c_str()));
  view->CommitEdit();
  soundCheck_.Forget();
}

// With a sound folder known, the name editor gets a browse button (a click is F4) and
// completes what is typed from the folder's files; without one it is a plain text box.
void MainFrame::DressNameEditors(AmbientView& view) {
  view.SetEditorOpened([this](HWND editor, int, int col) { OnNameEditorOpened(editor, col); });
}

void MainFrame::OnNameEditorOpened(HWND editor, int col) {
  if (col != kSoundNameColumn) return;
  UpdateSoundFolder();
  if (soundCheck_.Folder().empty()) return;
  AttachNameCompletion(editor, SoundNames());
  InplaceEdit::AddButton(editor);
}

// The folder's files, read once per folder until the frame comes back from the background.
SoundNameList MainFrame::SoundNames() {
  if (soundNames_ == nullptr || soundNamesFolder_ != soundCheck_.Folder()) {
    soundNamesFolder_ = soundCheck_.Folder();
    soundNames_ = std::make_shared<const std::vector<std::wstring>>(ListSoundFiles(soundNamesFolder_));
  }
  return soundNames_;
}

// A page that closes takes its sound with it.
void MainFrame::StopSoundOfClosedViews() {
  for (const auto& view : views_) {
    if (view.get() == playingView_ && view->Handle() == nullptr) OnSoundStop();
  }
}
