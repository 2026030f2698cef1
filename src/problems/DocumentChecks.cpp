#include "problems/DocumentChecks.h"

#include <algorithm>
#include <optional>

#include "problems/ProblemRules.h"
#include "sound/SoundFolderSearch.h"

namespace {

void AppendAll(std::vector<Problem>& to, const std::vector<Problem>& from) { to.insert(to.end(), from.begin(), from.end()); }

std::vector<Problem> Sorted(std::vector<Problem> problems) {
  std::stable_sort(problems.begin(), problems.end(), ProblemBefore);
  return problems;
}

int CountOf(const std::vector<Problem>& problems, ProblemSeverity severity) {
  return static_cast<int>(std::count_if(problems.begin(), problems.end(),
                                        [severity](const Problem& problem) { return problem.severity == severity; }));
}

bool SameProblems(const std::vector<Problem>& left, const std::vector<Problem>& right) {
  return std::equal(left.begin(), left.end(), right.begin(), right.end(), [](const Problem& a, const Problem& b) {
    return a.severity == b.severity && a.entry == b.entry && a.column == b.column && a.ruleId == b.ruleId &&
           a.facts.value == b.facts.value && a.facts.low == b.facts.low && a.facts.high == b.facts.high &&
           a.facts.otherEntry == b.facts.otherEntry && a.facts.path == b.facts.path && a.facts.reason == b.facts.reason &&
           a.facts.fault == b.facts.fault && a.facts.refusal == b.facts.refusal;
  });
}

}  // namespace

bool ProblemBefore(const Problem& left, const Problem& right) {
  if (left.entry != right.entry) return left.entry < right.entry;
  if (left.column != right.column) return left.column < right.column;
  return left.ruleId < right.ruleId;
}

std::wstring SoundPathOf(const DocumentEntry& entry, const std::wstring& soundFolder) {
  const std::wstring name = EntryName(entry);
  return GameSoundPath(soundFolder, name).value_or(std::wstring{});
}

std::vector<Problem> CheckEntry(const DocumentEntry& entry, int index, const CheckSetup& setup) {
  std::vector<Problem> found;
  CheckNameInsideFolder(entry, index, found);
  if (setup.converter != nullptr) CheckNameDecodable(entry, index, *setup.converter, found);
  CheckRepeatPositive(entry, index, found);
  CheckRepeatNotRaised(entry, index, found);
  CheckRepeatOrder(entry, index, found);
  CheckTimeOfDayKnown(entry, index, found);
  CheckVolumeInScale(entry, index, setup.volumeScale, found);
  return found;
}

std::vector<Problem> CheckEntrySound(const DocumentEntry& entry, int index, const CheckSetup& setup,
                                     const SoundLookup& sounds) {
  std::vector<Problem> found;
  // A name the code page cannot read names no file that could be looked up; BAD010 says so.
  if (setup.converter != nullptr && NameIsUndecodable(entry, *setup.converter)) return found;
  const std::wstring path = SoundPathOf(entry, setup.soundFolder);
  if (path.empty() || !sounds) return found;
  const SoundProbe probe = sounds(path);
  CheckSoundExists(index, path, probe, found);
  CheckSoundPlayable(index, path, probe, found);
  CheckSoundFitsRepeat(entry, index, probe, found);
  return found;
}

std::vector<Problem> CheckDocument(std::span<const DocumentEntry> entries, const CheckSetup& setup,
                                   const SoundLookup& sounds) {
  std::vector<Problem> problems;
  for (std::size_t index = 0; index < entries.size(); ++index) {
    AppendAll(problems, CheckEntry(entries[index], static_cast<int>(index), setup));
    AppendAll(problems, CheckEntrySound(entries[index], static_cast<int>(index), setup, sounds));
  }
  CheckSoundsPlayedOnce(entries, problems);
  return Sorted(std::move(problems));
}

VolumeScale GuessListVolumeScale(std::span<const DocumentEntry> entries) {
  std::vector<std::int32_t> volumes;
  for (const DocumentEntry& entry : entries) volumes.push_back(entry.values.volume);
  return GuessVolumeScale(volumes);
}

bool DocumentProblems::Update(std::span<const DocumentEntry> entries, const CheckSetup& setup,
                              const SoundLookup& sounds) {
  const bool setupChanged = !hasSetup_ || !(setup == setup_);
  setup_ = setup;
  hasSetup_ = true;
  checked_.resize(entries.size());
  entryProblems_.resize(entries.size());
  rechecked_ = 0;

  std::vector<Problem> problems;
  for (std::size_t index = 0; index < entries.size(); ++index) {
    const int at = static_cast<int>(index);
    // An entry unchanged at its place keeps its problems; a new or changed one is checked again.
    std::optional<DocumentEntry>& checked = checked_[index];
    if (setupChanged || !checked || !(*checked == entries[index])) {
      checked = entries[index];
      entryProblems_[index] = CheckEntry(entries[index], at, setup);
      ++rechecked_;
    }
    AppendAll(problems, entryProblems_[index]);
    AppendAll(problems, CheckEntrySound(entries[index], at, setup, sounds));
  }
  CheckSoundsPlayedOnce(entries, problems);
  problems = Sorted(std::move(problems));
  if (SameProblems(problems, problems_)) return false;
  problems_ = std::move(problems);
  return true;
}

int DocumentProblems::ErrorCount() const { return CountOf(problems_, ProblemSeverity::Error); }
int DocumentProblems::WarningCount() const { return CountOf(problems_, ProblemSeverity::Warning); }
