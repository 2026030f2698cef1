#include "soundfolder/SoundFeature.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <initializer_list>
#include <set>

#include "editor/AmbientView.h"
#include "commands/CommandStateMap.h"
#include "commands/CommandStrings.h"
#include "documents/FileDialog.h"
#include "griditems/GridMessages.h"
#include "celleditors/InplaceEdit.h"
#include "problems/ProblemRules.h"
#include "soundfolder/SoundFolderDialog.h"
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

// Where a pick for `name` starts: the folder the name points into, as its file is most likely
// beside the one it named; the sound folder itself when the name has no folder, leaves the sound
// folder or points into one that is not there.
std::wstring FolderOfName(const std::wstring& soundFolder, const std::wstring& name) {
  const std::size_t slash = name.find_last_of(L"\\/");
  if (slash == std::wstring::npos || !NameStaysInsideFolder(name)) return soundFolder;
  const std::wstring folder = JoinSoundPath(soundFolder, name.substr(0, slash));
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? folder : soundFolder;
}

}  // namespace

SoundFeature::SoundFeature(FrameServices& frame, Settings& settings)
    : frame_(frame), settings_(settings), watch_(frame.FrameWindow(), WM_SOUND_FOLDER_CHANGED) {
  player_.SetNotifyWindow(frame.FrameWindow(), WM_SOUND_NOTICE);
}

bool SoundFeature::OnCommand(UINT id) {
  switch (id) {
    case CMD_SOUND_PLAY:
      Play();
      return true;
    case CMD_SOUND_STOP:
      Stop();
      return true;
    case CMD_VIEW_SOUND_FOLDER:
      ChooseSoundFolder();
      return true;
    case CMD_VIEW_SOUND_FOLDER_AUTO:
      FindSoundFolderAutomatically();
      return true;
    default:
      return false;
  }
}

// Escape stops a sound and the name editor's browse keys browse; the player's worker and the
// name editor's button speak to the frame.
bool SoundFeature::FilterMessage(MSG& msg) {
  if (IsBrowseSoundKey(msg)) {
    BrowseSoundName();
    return true;
  }
  if (!IsStopSoundKey(msg)) return false;
  Stop();
  return true;
}

bool SoundFeature::HandleMessage(Message& m) {
  if (m.msg == WM_SOUND_NOTICE) {
    OnSoundNotice(static_cast<unsigned>(m.wParam));
    m.result = 0;
    return true;
  }
  if (m.msg == WM_SOUND_FOLDER_CHANGED) {
    OnFilesChanged();
    m.result = 0;
    return true;
  }
  if (m.msg != WM_NOTIFY) return false;
  const auto* header = reinterpret_cast<const NMHDR*>(m.lParam);
  if (header->code != static_cast<UINT>(GRIDN_EDITORBUTTON)) return false;
  // The name editor's browse button does what F4 does in it.
  if (const AmbientView* view = frame_.ActiveView();
      view != nullptr && view->Handle() == header->hwndFrom && IsWindow(view->GetEditor()))
    BrowseSoundName();
  m.result = 0;
  return true;
}

// Files may have come or gone while another program had the foreground.
void SoundFeature::OnFrameActivated() {
  soundCheck_.Forget();
  soundNames_.reset();
}

// One watch serves every view of the folders, so that none keeps an older picture than another.
// The notice is taken before anything looks again, so a change made meanwhile posts another;
// the idle pass that follows this message repaints the marks and the counts.
void SoundFeature::OnFilesChanged() {
  watch_.Acknowledge();
  soundCheck_.Forget();
  soundNames_.reset();
  if (folderViews_.filesChanged) folderViews_.filesChanged();
}

void SoundFeature::WatchFoldersInUse() {
  std::set<std::wstring> folders = {soundCheck_.Folder()};
  if (folderViews_.folders) {
    for (std::wstring& folder : folderViews_.folders()) folders.insert(std::move(folder));
  }
  folders.erase(std::wstring());
  watch_.Watch(folders);
}

std::wstring SoundFeature::CurrentFolder() {
  UpdateSoundFolder();
  return soundCheck_.Folder();
}

bool SoundFeature::CellEditorOpen() const {
  const AmbientView* view = frame_.ActiveView();
  return view != nullptr && IsWindow(view->GetEditor());
}

bool SoundFeature::IsFramesKey(const MSG& msg) const {
  HWND frame = frame_.FrameWindow();
  return msg.hwnd == frame || IsChild(frame, msg.hwnd);
}

void SoundFeature::Play() {
  if (other_.stop) other_.stop();
  AmbientView* view = frame_.ActiveView();
  const int entry = view != nullptr ? view->GetSelectedEntry() : -1;
  if (entry < 0) {
    RefusalBeep();
    return;
  }
  UpdateSoundFolder();
  const std::wstring name = EntryName(*view, entry);
  if (soundCheck_.Folder().empty() || name.empty()) {
    frame_.RefuseCommand(LoadCommandString(soundCheck_.Folder().empty() ? STR_SOUND_NO_FOLDER : STR_SOUND_NO_NAME));
    return;
  }
  frame_.EndStatusReason();
  playingView_ = view;
  player_.Play(soundCheck_.FullPath(name));
  frame_.ShowStatusText(FormatText(STR_SOUND_PLAYING, {FileNameOf(name)}));
}

void SoundFeature::Stop() {
  if (other_.stop) other_.stop();
  player_.Stop();
  playingView_ = nullptr;
  frame_.ShowStatusText(LoadCommandString(STR_READY));
}

// The worker says the sound started, ended or failed; an older sound's notice is stale.
void SoundFeature::OnSoundNotice(unsigned generation) {
  const PlayStatus status = player_.Status();
  if (status.generation != generation) return;
  const std::wstring name = FileNameOf(status.path);
  switch (status.state) {
    case PlayState::Playing:
      frame_.ShowStatusText(FormatText(STR_SOUND_PLAYING_LENGTH, {name, LengthText(status.durationMs)}));
      break;
    case PlayState::Failed:
      playingView_ = nullptr;
      frame_.ShowStatusText(LoadCommandString(STR_READY));
      frame_.ShowStatusReason(FormatText(STR_SOUND_CANNOT_PLAY, {name, FailureReason(status)}));
      break;
    case PlayState::Finished:
    case PlayState::Idle:
      playingView_ = nullptr;
      frame_.ShowStatusText(LoadCommandString(STR_READY));
      break;
  }
}

// The picker opens at the folder in use, or else at the active document's own folder.
void SoundFeature::ChooseSoundFolder() {
  const QuestionUp up(frame_);
  UpdateSoundFolder();
  std::wstring initial = soundCheck_.Folder();
  if (const AmbientView* view = frame_.ActiveView(); initial.empty() && view != nullptr && *view->GetPath() != L'\0')
    initial = ParentFolder(view->GetPath());
  const auto chosen = PickSoundFolder(frame_.FrameWindow(), LoadCommandString(STR_SOUND_FOLDER_TITLE), initial);
  if (!chosen) return;
  settings_.SetString(kSoundFolderSetting, *chosen);
  soundCheck_.SetFolder(*chosen);
  ShowFolderAndCounts();
}

// The chosen folder is given up: each document's names are looked for near it again.
void SoundFeature::FindSoundFolderAutomatically() {
  settings_.SetString(kSoundFolderSetting, L"");
  searchedDocumentPath_.clear();
  foundFolder_.clear();
  ShowFolderAndCounts();
}

// The user's choice wins; without one, the folder found near the active document, looked for
// once per document path.
void SoundFeature::UpdateSoundFolder() {
  const auto chosen = settings_.GetString(kSoundFolderSetting);
  if (chosen && !chosen->empty()) {
    soundCheck_.SetFolder(*chosen);
    return;
  }
  const AmbientView* view = frame_.ActiveView();
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
void SoundFeature::UpdateStates(CommandStateMap& states) {
  ShowFolderAndCounts();
  WatchFoldersInUse();
  const AmbientView* view = frame_.ActiveView();
  const bool selected = view != nullptr && view->GetSelectedEntry() >= 0;
  states.EnableCommand(CMD_SOUND_PLAY, !soundCheck_.Folder().empty() && selected);
  states.EnableCommand(CMD_SOUND_STOP, player_.IsPlaying());
  const auto chosen = settings_.GetString(kSoundFolderSetting);
  states.SetCommandCheck(CMD_VIEW_SOUND_FOLDER_AUTO, chosen && !chosen->empty() ? 0 : 1);
}

// The folder in use and the count of names not found in the status bar, the marks on the
// page; returns that count.
int SoundFeature::ShowFolderAndCounts() {
  UpdateSoundFolder();
  const AmbientView* view = frame_.ActiveView();
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
  frame_.SetSoundPanes(count, folder ? FormatText(STR_SOUND_FOLDER_PANE, {soundCheck_.Folder()})
                                     : LoadCommandString(STR_SOUND_FOLDER_UNKNOWN));
  return missing;
}

// Escape stops a sound, unless a cell editor or the menu bar has a use for it.
bool SoundFeature::IsStopSoundKey(const MSG& msg) const {
  const bool sounding = player_.IsPlaying() || (other_.isPlaying && other_.isPlaying());
  return msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && sounding && !CellEditorOpen() && IsFramesKey(msg);
}

// The name cells of entries whose files are not found carry the grid's warning mark, and say
// where the file was looked for in their tooltip. Painting only reads what the idle pass has
// taken as shown (UpdateSoundState), which repaints the page when the marks change.
void SoundFeature::MarkMissingSounds(AmbientView& view) {
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
bool SoundFeature::IsBrowseSoundKey(const MSG& msg) const {
  const AmbientView* view = frame_.ActiveView();
  if (view == nullptr || msg.hwnd != view->GetEditor() || view->GetEditColumn() != kSoundNameColumn) return false;
  const bool alt = GetKeyState(VK_MENU) < 0, shift = GetKeyState(VK_SHIFT) < 0, control = GetKeyState(VK_CONTROL) < 0;
  if (shift || control) return false;
  return (msg.message == WM_KEYDOWN && msg.wParam == VK_F4 && !alt) ||
         (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_DOWN && alt);
}

// The Open dialog in the sound folder; the chosen file goes in as its path relative to the
// folder, through the name editor as if typed, so that the name's checks and the history see
// it like any other edit. A file outside the folder has no such path and is refused.
void SoundFeature::BrowseSoundName() {
  AmbientView* view = frame_.ActiveView();
  const int row = view->GetEditRow();
  UpdateSoundFolder();
  const std::wstring folder = soundCheck_.Folder();
  if (folder.empty()) {
    frame_.RefuseCommand(LoadCommandString(STR_SOUND_NO_FOLDER));
    return;
  }
  // The dialog takes the focus, which would end the edit anyway: end it as a click elsewhere does.
  if (!view->CommitEdit()) return;
  const std::wstring filter = ConvertFilter(LoadCommandString(STR_SOUND_FILE_FILTER));
  wchar_t path[MAX_PATH]{};
  OPENFILENAMEW record{};
  record.lStructSize = sizeof(record);
  record.hwndOwner = frame_.FrameWindow();
  record.lpstrFilter = filter.c_str();
  record.lpstrFile = path;
  record.nMaxFile = MAX_PATH;
  const std::wstring initial = FolderOfName(folder, EntryName(*view, row));
  record.lpstrInitialDir = initial.c_str();
  record.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  // A reload under the dialog would put the picked name into another document's entry.
  const QuestionUp up(frame_);
  if (!GetOpenFileNameW(&record)) return;
  std::wstring chosen = path;
  std::wstring prefix = JoinSoundPath(folder, L"");
  if (chosen.size() <= prefix.size() ||
      CompareStringOrdinal(chosen.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                           static_cast<int>(prefix.size()), TRUE) != CSTR_EQUAL) {
    frame_.RefuseCommand(FormatText(STR_SOUND_OUTSIDE_FOLDER, {chosen, folder}));
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
void SoundFeature::OnViewCreated(AmbientView& view) {
  MarkMissingSounds(view);
  view.SetEditorOpened([this](HWND editor, int, int col) { OnNameEditorOpened(editor, col); });
}

void SoundFeature::OnNameEditorOpened(HWND editor, int col) {
  if (col != kSoundNameColumn) return;
  UpdateSoundFolder();
  if (soundCheck_.Folder().empty()) return;
  AttachNameCompletion(editor, SoundNames());
  InplaceEdit::AddButton(editor);
}

// The folder's files, read once per folder until the frame comes back from the background.
SoundNameList SoundFeature::SoundNames() {
  if (soundNames_ == nullptr || soundNamesFolder_ != soundCheck_.Folder()) {
    soundNamesFolder_ = soundCheck_.Folder();
    soundNames_ = std::make_shared<const std::vector<std::wstring>>(ListSoundFiles(soundNamesFolder_));
  }
  return soundNames_;
}

// A page that closes takes its sound with it.
void SoundFeature::OnViewsClosing() {
  if (playingView_ != nullptr && playingView_->Handle() == nullptr) Stop();
}
