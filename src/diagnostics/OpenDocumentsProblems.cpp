#include "diagnostics/OpenDocumentsProblems.h"

#include <set>

#include "format/NamesCodePage.h"
#include "format/TimeOfDay.h"

namespace {

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The editor shows a time-of-day byte of 4 or more as Dawn, and a save writes Dawn; until then
// the file holds the byte, and the checks see it there. Only for the checks: a fix is made on the
// entries as the editor holds them.
void TakeStoredTimesOfDay(std::vector<DocumentEntry>& entries) {
  for (DocumentEntry& entry : entries) {
    if (entry.values.timeOfDay == 0 && entry.record.timeOfDay >= TimeOfDayCount)
      entry.values.timeOfDay = entry.record.timeOfDay;
  }
}

}  // namespace

std::vector<DocumentEntry> EntriesOf(const AmbientView& view) {
  std::vector<DocumentEntry> entries;
  entries.reserve(static_cast<std::size_t>(view.GetEntryCount()));
  for (int entry = 0; entry < view.GetEntryCount(); ++entry) entries.push_back(view.GetEntry(entry));
  return entries;
}

OpenDocumentsProblems::OpenDocumentsProblems(std::function<void()> verdictArrived)
    : worker_(files_, std::move(verdictArrived)) {}

void OpenDocumentsProblems::Update(const std::vector<OpenDocument>& documents,
                                   std::optional<VolumeScale> chosenScale) {
  std::set<const AmbientView*> open;
  for (const OpenDocument& document : documents) {
    open.insert(document.view);
    Checked& checked = checked_[document.view];
    checked.entries = EntriesOf(*document.view);
    TakeStoredTimesOfDay(checked.entries);
    CheckSetup setup;
    setup.soundFolder = document.soundFolder;
    setup.converter = &NamesConverter();
    setup.volumeScale = chosenScale ? *chosenScale : GuessListVolumeScale(checked.entries);
    checked.problems.Update(checked.entries, setup,
                            [this](const std::wstring& path) { return worker_.Lookup(path); });
  }
  std::erase_if(checked_, [&open](const auto& item) { return !open.contains(item.first); });
}

const DocumentProblems* OpenDocumentsProblems::Find(const AmbientView* view) const {
  const auto found = checked_.find(view);
  return found != checked_.end() ? &found->second.problems : nullptr;
}

bool OpenDocumentsProblems::KnownToExist(const std::wstring& path) const {
  const SoundVerdict verdict = worker_.Lookup(path).verdict;
  return verdict == SoundVerdict::Playable || verdict == SoundVerdict::Faulty;
}

std::vector<PaneProblem> OpenDocumentsProblems::Rows(const std::vector<OpenDocument>& documents) const {
  std::vector<PaneProblem> rows;
  for (const OpenDocument& document : documents) {
    const auto found = checked_.find(document.view);
    if (found == checked_.end()) continue;
    for (const Problem& problem : found->second.problems.Problems()) {
      PaneProblem row;
      row.document = reinterpret_cast<UINT_PTR>(document.view);
      row.documentTitle = document.title;
      row.problem = problem;
      if (const auto fix = FixOffered(document, problem)) row.fix = fix->kind;
      rows.push_back(std::move(row));
    }
  }
  return rows;
}

// Offered on what the probe already knows; applied only once proved on the disk itself.
std::optional<QuickFix> OpenDocumentsProblems::FixOffered(const OpenDocument& document, const Problem& problem) const {
  const auto found = checked_.find(document.view);
  if (found == checked_.end()) return std::nullopt;
  return FindQuickFix(problem, found->second.entries, document.soundFolder,
                      [this](const std::wstring& path) { return KnownToExist(path); });
}

std::optional<QuickFix> OpenDocumentsProblems::FixNow(const OpenDocument& document,
                                                      const Problem& problem) const {
  const std::vector<DocumentEntry> entries = EntriesOf(*document.view);
  return FindQuickFix(problem, entries, document.soundFolder, IsFile);
}
