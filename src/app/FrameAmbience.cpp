// The frame's side of the ambience: the Ambience menu and the export, the timeline pane and
// the live preview, each a class of its own that this feature creates, routes the table's
// commands to and keeps up to date on the idle pass.
#include <algorithm>

#include "app/FrameFeatures.h"
#include "app/StatusPanes.h"
#include "commands/CommandStrings.h"
#include "resources/ResourceIds.h"
#include "sound/SoundFolderSearch.h"

namespace {

// The files of every open page, the new ones' empty names included.
std::vector<std::wstring> OpenDocumentFiles(TabView& tabs) {
  std::vector<std::wstring> files;
  for (int page = 0; page < tabs.GetPageCount(); ++page) {
    const auto* view = static_cast<const AmbientView*>(tabs.GetPageData(page));
    if (view != nullptr) files.push_back(view->GetPath());
  }
  return files;
}

}  // namespace

MainFrame::AmbienceFeature::AmbienceFeature(MainFrame& frame) : frame_(frame) {
  commands_ = std::make_unique<AmbienceCommands>(
      AmbienceHost{frame.Handle(), [this] { return ActiveAmbience(); },
                   [&frame](const std::wstring& text) { frame.ShowStatusReason(text); },
                   [&frame](const std::function<void()>& dialog) {
                     const QuestionUp up(frame);
                     dialog();
                   },
                   [&frame] { return OpenDocumentFiles(frame.PageTabs()); }});
  const auto selectEntry = [&frame](int entry) {
    AmbientView* view = frame.ActiveView();
    if (view == nullptr || entry < 0 || entry >= view->GetEntryCount()) return;
    view->SelectCell(entry, std::max(view->GetSelectedColumn(), 0));
  };
  timeline_ = std::make_unique<TimelineFeature>(
      TimelineFeature::Host{frame.Handle(), [&frame] { frame.LayoutChildren(false); }, selectEntry,
                            [this](const AmbienceExportSource& document, std::int64_t spanMs) {
                              return preview_->HeardRealization(document, spanMs);
                            },
                            [this] { return preview_->HeardGeneration(); }},
      commands_->Choice(), commands_->Sounds());
  preview_ = std::make_unique<AmbiencePreview>(
      AmbiencePreview::Host{frame.Handle(), [&frame](const std::wstring& text) { frame.ShowStatusText(text); },
                            [&frame] {
                              if (frame.sounds_ && frame.sounds_->IsPlaying()) frame.sounds_->Stop();
                            }},
      commands_->Choice(), commands_->Sounds());
}

void MainFrame::AmbienceFeature::AddTo(CommandTable& table) {
  table.Add(CMD_AMBIENCE_DAWN, CMD_AMBIENCE_SCALE_BYTE, *this);
  table.Add(CMD_FILE_EXPORT_AMBIENCE, *this);
  table.Add(CMD_VIEW_TIMELINE, *this);
  table.Add(CMD_AMBIENCE_PLAY, *this);
}

bool MainFrame::AmbienceFeature::OnCommand(UINT id) {
  if (commands_->OnCommand(id) || timeline_->OnCommand(id)) return true;
  if (id != CMD_AMBIENCE_PLAY) return false;
  preview_->OnCommand(id, ActiveAmbience());
  return true;
}

// The timeline's own notifications, and the timer that runs its cursor.
bool MainFrame::AmbienceFeature::HandleMessage(Message& m) {
  if (m.msg == WM_NOTIFY && timeline_->OnNotify(*reinterpret_cast<NMHDR*>(m.lParam))) {
    m.result = 0;
    return true;
  }
  if (m.msg != WM_TIMER || m.wParam != kCursorTimer) return false;
  OnCursorTimer();
  m.result = 0;
  return true;
}

// At idle: the commands' states, and the preview and the timeline follow the document.
void MainFrame::AmbienceFeature::UpdateStates(CommandStateMap& states) {
  const bool documentOpen = frame_.ActiveView() != nullptr;
  commands_->UpdateStates(states, documentOpen);
  timeline_->UpdateStates(states);
  preview_->UpdateStates(states, documentOpen);
  ShowVolumeScale();
  preview_->TellWhyItEnded();
  if (!timeline_->IsShown() && !preview_->IsPlaying()) return;
  KeepOpenListsSounds();
  const std::optional<AmbienceExportSource> document = ActiveAmbience();
  // The preview takes the edit first, so that the timeline draws what it hears from now on.
  preview_->Follow(document);
  timeline_->Refresh(document);
  // While the preview plays, a timer runs the timeline's cursor and the speaker marks along with
  // it. It is set once: setting it again on every idle pass would put its tick off for as long
  // as other messages keep coming.
  if (preview_->IsPlaying() && !cursorTimerOn_)
    cursorTimerOn_ = SetTimer(frame_.Handle(), kCursorTimer, kCursorMs, nullptr) != 0;
}

void MainFrame::AmbienceFeature::OnCursorTimer() {
  const std::int64_t heard = preview_->HeardMs();
  timeline_->Pane().SetCursorTime(heard);
  preview_->MarkSounding(frame_.ActiveView());
  if (heard >= 0 || preview_->IsWaitingForSounds()) return;
  KillTimer(frame_.Handle(), kCursorTimer);
  cursorTimerOn_ = false;
}

// The decoded sounds kept are those the open lists name: when a list closes or its names change,
// the loader lets the others go.
void MainFrame::AmbienceFeature::KeepOpenListsSounds() {
  const std::wstring folder = frame_.sounds_->CurrentFolder();
  std::vector<std::wstring> paths;
  for (int page = 0; page < frame_.tabView_.GetPageCount(); ++page) {
    const auto* view = static_cast<const AmbientView*>(frame_.tabView_.GetPageData(page));
    for (int entry = 0; view != nullptr && entry < view->GetEntryCount(); ++entry) {
      const std::optional<std::wstring>& name = view->GetEntry(entry).values.audioFile;
      if (name && !name->empty()) paths.push_back(JoinSoundPath(folder, *name));
    }
  }
  std::sort(paths.begin(), paths.end());
  paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
  if (paths == keptSounds_) return;
  keptSounds_ = paths;
  commands_->Sounds().KeepOnly(std::move(paths));
}

// The status bar tells, while a document is active, which scale its volumes are heard in.
void MainFrame::AmbienceFeature::ShowVolumeScale() {
  const AmbientView* view = frame_.ActiveView();
  std::vector<std::int32_t> volumes;
  for (int entry = 0; view != nullptr && entry < view->GetEntryCount(); ++entry)
    volumes.push_back(view->GetEntry(entry).values.volume);
  const std::wstring text = view != nullptr ? VolumeScalePane(commands_->Choice(), volumes) : std::wstring();
  if (text == frame_.volumePane_) return;
  frame_.volumePane_ = text;
  frame_.LayoutStatusPanes();
}

// What the ambience hears of the active document: a copy of its entries, so that nothing it
// renders on another thread can change under it.
std::optional<AmbienceExportSource> MainFrame::AmbienceFeature::ActiveAmbience() {
  const AmbientView* view = frame_.ActiveView();
  if (view == nullptr) return std::nullopt;
  AmbienceExportSource source;
  source.entries = view->Document().Values();
  for (int entry = 0; entry < view->Document().Count(); ++entry)
    source.identities.push_back(view->Document().At(entry).identity);
  source.documentPath = view->GetPath();
  source.soundFolder = frame_.sounds_->CurrentFolder();
  return source;
}

AmbiencePreview& MainFrame::Preview() { return ambience_->Preview(); }
