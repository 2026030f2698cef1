#pragma once

// The frame's own features, which work on its window and bars: included by the frame's files
// only.
#include <memory>
#include <optional>

#include "app/MainFrame.h"
#include "preview/AmbienceCommands.h"
#include "preview/AmbiencePreview.h"
#include "preview/TimelineFeature.h"

// The file, view, window and help commands, which the frame carries out on its pages and bars.
class MainFrame::OwnCommands : public FrameFeature {
 public:
  explicit OwnCommands(MainFrame& frame) : frame_(frame) {}
  // Every id this feature carries out, for the command table.
  void AddTo(CommandTable& table);
  bool OnCommand(UINT id) override;
  void UpdateStates(CommandStateMap& states) override;

 private:
  MainFrame& frame_;
};

// The Ambience menu and its export, the timeline pane and the live preview, each a class of
// its own in src/preview, made, routed to and kept up to date as one feature.
class MainFrame::AmbienceFeature : public FrameFeature {
 public:
  explicit AmbienceFeature(MainFrame& frame);
  void AddTo(CommandTable& table);
  bool OnCommand(UINT id) override;
  void UpdateStates(CommandStateMap& states) override;
  bool HandleMessage(Message& m) override;

  // The room the timeline leaves the pages of `client`.
  RECT Layout(RECT client) { return timeline_->Layout(client); }
  void ApplyDpi(UINT dpi) { timeline_->ApplyDpi(dpi); }
  TimelineFeature& Timeline() { return *timeline_; }
  AmbiencePreview& Preview() { return *preview_; }
  const AmbienceChoice& Choice() const { return commands_->Choice(); }
  bool IsPlaying() const { return preview_->IsPlaying(); }
  void Stop() { preview_->Stop(); }

 private:
  std::optional<AmbienceExportSource> ActiveAmbience();
  void OnCursorTimer();
  void ShowVolumeScale();
  void KeepOpenListsSounds();
  static constexpr UINT_PTR kCursorTimer = 0xA3B1;
  static constexpr UINT kCursorMs = 50;

  MainFrame& frame_;
  std::unique_ptr<AmbienceCommands> commands_;
  std::unique_ptr<TimelineFeature> timeline_;
  std::unique_ptr<AmbiencePreview> preview_;
  bool cursorTimerOn_ = false;
  std::vector<std::wstring> keptSounds_;  // what the open lists named when last told to the loader
};
