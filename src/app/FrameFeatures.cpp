// The features the frame owns: made once the window and its bars exist, and told of the
// views that come and go.
#include "app/FrameFeatures.h"

#include "win/Dpi.h"

namespace {

// The "&File" popup, which receives the recent files.
constexpr int kFileMenuPosition = 0;

}  // namespace

// Each feature is made once the window and its bars exist; the table routes their commands,
// and the list is the order they hear the frame's events in.
void MainFrame::CreateFeatures() {
  session_ = std::make_unique<SessionFeature>(
      *this, settings_, GetSubMenu(commandBar_.GetMenu(), kFileMenuPosition),
      [this](const std::wstring& path, bool nameTheFile) { return OpenDocument(path, nameTheFile); });
  documents_ = std::make_unique<DocumentsFeature>(
      *this, commandStates_,
      DocumentsFeature::Host{
          [this](const std::wstring& path) { session_->NoteRecentFile(path); },
          [this](AmbientView& view) { session_->RestoreColumnWidths(view); },
          [this] { return session_->LastFile(); },
          [this](AmbientView& view) {
            for (FrameFeature* feature : features_) feature->OnViewCreated(view);
          },
          [this] { OnViewsClosing(); }});
  own_ = std::make_unique<OwnCommands>(*this);
  entries_ = std::make_unique<EntryFeature>(*this, commandBar_.Handle(), commandBar_.GetMenu());
  findReplace_ = std::make_unique<FindReplaceFeature>(*this);
  sounds_ = std::make_unique<SoundFeature>(*this, settings_);
  ambience_ = std::make_unique<AmbienceFeature>(*this);
  sounds_->SetOtherSound({[this] { return ambience_->IsPlaying(); }, [this] { ambience_->Stop(); }});
  commands_.Add(DocumentsFeature::kCommands, *documents_);
  session_->AddTo(commands_);
  own_->AddTo(commands_);
  commands_.Add(EntryFeature::kCommands, *entries_);
  commands_.Add(SoundFeature::kCommands, *sounds_);
  commands_.Add(FindReplaceFeature::kCommands, *findReplace_);
  ambience_->AddTo(commands_);
  CreateProblemsFeature();
  commands_.Add(ProblemsFeature::kCommands, *problems_);
  // The Problems pane hears the keys first: while its list has the focus, Ctrl+C is its own.
  features_ = {problems_.get(), documents_.get(), session_.get(), own_.get(), entries_.get(),
               findReplace_.get(), sounds_.get(), ambience_.get()};
  // The frame took its scale before they were made: their panes start at it, not at 96 DPI.
  const UINT dpi = WindowDpi(Handle());
  ambience_->ApplyDpi(dpi);
  problems_->ApplyDpi(dpi);
}

// A view made later in the place of a closed one must not inherit its reason.
void MainFrame::OnViewsClosing() {
  for (FrameFeature* feature : features_) feature->OnViewsClosing();
  if (reasonView_ != nullptr && reasonView_->Handle() == nullptr) EndReasonOfOtherView();
}
