// The frame's side of the ambience: the Ambience menu and the export, the timeline pane and
// the live preview, each a class of its own that this feature creates, routes the table's
// commands to and keeps up to date on the idle pass.
#include <algorithm>

#include "app/FrameFeatures.h"
#include "resources/ResourceIds.h"

MainFrame::AmbienceFeature::AmbienceFeature(MainFrame& frame) : frame_(frame) {
  commands_ = std::make_unique<AmbienceCommands>(AmbienceHost{
      frame.Handle(), [this] { return ActiveAmbience(); },
      [&frame](const std::wstring& text) { frame.ShowStatusReason(text); },
      [&frame](const std::function<void()>& dialog) {
        const QuestionUp up(frame);
        dialog();
      }});
  const auto selectEntry = [&frame](int entry) {
    AmbientView* view = frame.ActiveView();
    if (view == nullptr || entry < 0 || entry >= view->GetEntryCount()) return;
    view->SelectCell(entry, std::max(view->GetSelectedColumn(), 0));
  };
  timeline_ = std::make_unique<TimelineFeature>(
      TimelineFeature::Host{frame.Handle(), [&frame] { frame.LayoutChildren(false); }, selectEntry},
      commands_->Choice());
  preview_ = std::make_unique<AmbiencePreview>(
      AmbiencePreview::Host{frame.Handle(), [&frame](const std::wstring& text) { frame.ShowStatusText(text); },
                            [&frame] {
                              if (frame.sounds_ && frame.sounds_->IsPlaying()) frame.sounds_->Stop();
                            }},
      commands_->Choice());
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
  if (!timeline_->IsShown() && !preview_->IsPlaying()) return;
  const std::optional<AmbienceExportSource> document = ActiveAmbience();
  timeline_->Refresh(document);
  preview_->Follow(document);
  // While the preview plays, a timer runs the timeline's cursor along with it.
  if (preview_->IsPlaying()) SetTimer(frame_.Handle(), kCursorTimer, kCursorMs, nullptr);
}

void MainFrame::AmbienceFeature::OnCursorTimer() {
  const std::int64_t heard = preview_->HeardMs();
  timeline_->Pane().SetCursorTime(heard);
  if (heard < 0) KillTimer(frame_.Handle(), kCursorTimer);
}

// What the ambience hears of the active document: a copy of its entries, so that nothing it
// renders on another thread can change under it.
std::optional<AmbienceExportSource> MainFrame::AmbienceFeature::ActiveAmbience() {
  const AmbientView* view = frame_.ActiveView();
  if (view == nullptr) return std::nullopt;
  AmbienceExportSource source;
  source.entries = view->Document().Values();
  source.documentPath = view->GetPath();
  source.soundFolder = frame_.sounds_->CurrentFolder();
  return source;
}
