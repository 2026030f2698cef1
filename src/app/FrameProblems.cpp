// The frame's side of the problems: it makes the feature and lends it the sound folder the user
// chose, the volume scale the ambience hears in, the status bar and the name editor's browse.
#include "app/FrameFeatures.h"

namespace {

constexpr wchar_t kSoundFolderSetting[] = L"SoundFolder";
// The document view's column of file names.
constexpr int kSoundNameColumn = 1;

}  // namespace

void MainFrame::CreateProblemsFeature() {
  ProblemsFeature::Host host;
  host.frame = Handle();
  host.tabs = &tabView_;
  host.relayout = [this] { LayoutChildren(false); };
  host.chosenSoundFolder = [this] { return settings_.GetString(kSoundFolderSetting).value_or(L""); };
  host.chosenScale = [this] { return ambience_ ? ambience_->Choice().scale : std::nullopt; };
  host.refuse = [this](const std::wstring& reason) { RefuseCommand(reason); };
  host.showStatus = [this](const std::wstring& text) { ShowStatusText(text); };
  host.showCounts = [this](const std::wstring& counts) {
    problemCounts_ = counts;
    LayoutStatusPanes();
  };
  // The fix for a file that is not there is the user's pick, in the name editor's own browse.
  host.pickFile = [this](AmbientView& view, int entry) {
    view.SelectCell(entry, kSoundNameColumn);
    if (!view.OpenEditor(view.GetCellItem(entry, kSoundNameColumn), entry, kSoundNameColumn)) return;
    sounds_->BrowseSoundName();
  };
  problems_ = std::make_unique<ProblemsFeature>(std::move(host));
  // One watch on the sound folders feeds the problems as it feeds the grid's marks and counts.
  sounds_->SetFolderViews({[this] { return problems_->SoundFolders(); }, [this] { problems_->FilesMayHaveChanged(); }});
}
