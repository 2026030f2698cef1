// The frame's side of the ambience: the Ambience menu and the export, the timeline pane and
// the live preview, each a class of its own that the frame creates, routes commands to and
// keeps up to date on the idle pass.
#include <algorithm>

#include "app/MainFrame.h"
#include "resources/ResourceIds.h"

void MainFrame::CreateAmbienceFeatures() {
  ambience_ = std::make_unique<AmbienceCommands>(AmbienceHost{
      Handle(), [this] { return ActiveAmbience(); }, [this](const std::wstring& text) { ShowStatusReason(text); },
      [this](const std::function<void()>& dialog) {
        const QuestionUp up(questionsUp_);
        dialog();
      }});
  const auto selectEntry = [this](int entry) {
    AmbientView* view = ActiveView();
    if (view == nullptr || entry < 0 || entry >= view->GetEntryCount()) return;
    view->SelectCell(entry, std::max(view->GetSelectedColumn(), 0));
  };
  timeline_ = std::make_unique<TimelineFeature>(
      TimelineFeature::Host{Handle(), [this] { LayoutChildren(false); }, selectEntry}, ambience_->Choice());
  preview_ = std::make_unique<AmbiencePreview>(
      AmbiencePreview::Host{Handle(), [this](const std::wstring& text) { ShowSoundText(text); },
                            [this] {
                              if (player_.IsPlaying()) OnSoundStop();
                            }},
      ambience_->Choice());
}

bool MainFrame::OnAmbienceCommand(UINT id) {
  if (ambience_->OnCommand(id) || timeline_->OnCommand(id)) return true;
  if (id != CMD_AMBIENCE_PLAY) return false;
  preview_->OnCommand(id, ActiveAmbience());
  return true;
}

// At idle: the commands' states, and the preview and the timeline follow the document.
void MainFrame::UpdateAmbience(bool documentOpen) {
  ambience_->UpdateStates(commandStates_, documentOpen);
  timeline_->UpdateStates(commandStates_);
  preview_->UpdateStates(commandStates_, documentOpen);
  if (!timeline_->IsShown() && !preview_->IsPlaying()) return;
  const std::optional<AmbienceExportSource> document = ActiveAmbience();
  timeline_->Refresh(document);
  preview_->Follow(document);
  // While the preview plays, a timer runs the timeline's cursor along with it.
  if (preview_->IsPlaying()) SetTimer(Handle(), kAmbienceCursorTimer, kAmbienceCursorMs, nullptr);
}

void MainFrame::OnAmbienceCursorTimer() {
  const std::int64_t heard = preview_->HeardMs();
  timeline_->Pane().SetCursorTime(heard);
  if (heard < 0) KillTimer(Handle(), kAmbienceCursorTimer);
}

// What the ambience hears of the active document: a copy of its entries, so that nothing it
// renders on another thread can change under it.
std::optional<AmbienceExportSource> MainFrame::ActiveAmbience() {
  const AmbientView* view = ActiveView();
  if (view == nullptr) return std::nullopt;
  AmbienceExportSource source;
  source.entries = view->Document().Values();
  source.documentPath = view->GetPath();
  UpdateSoundFolder();
  source.soundFolder = soundCheck_.Folder();
  return source;
}

