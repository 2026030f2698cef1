#include "problems/ProblemRules.h"

#include <unordered_map>

#include "ambience/AmbienceSchedule.h"
#include "format/TimeOfDay.h"

namespace {

Problem Found(ProblemSeverity severity, int index, ProblemColumn column, std::string_view rule) {
  Problem problem;
  problem.severity = severity;
  problem.entry = index;
  problem.column = column;
  problem.ruleId = rule;
  return problem;
}

}  // namespace

std::wstring EntryName(const DocumentEntry& entry) { return entry.values.audioFile.value_or(std::wstring{}); }

std::wstring SoundNameKey(std::wstring_view name) {
  std::wstring key(name);
  for (wchar_t& c : key) c = SoundNameKeyCharacter(c);
  return key;
}

void CheckRepeatOrder(const DocumentEntry& entry, int index, std::vector<Problem>& found) {
  const AmbientEntryValues& values = entry.values;
  if (values.maxRepeatMs >= values.minRepeatMs) return;
  Problem problem = Found(ProblemSeverity::Error, index, ProblemColumn::MaxRepeat, kRuleMaxBelowMin);
  problem.facts.value = values.maxRepeatMs;
  problem.facts.low = values.minRepeatMs;
  found.push_back(problem);
}

void CheckRepeatPositive(const DocumentEntry& entry, int index, std::vector<Problem>& found) {
  const auto check = [&](std::int32_t repeatMs, ProblemColumn column) {
    if (repeatMs > 0) return;
    Problem problem = Found(ProblemSeverity::Error, index, column, kRuleRepeatNotPositive);
    problem.facts.value = repeatMs;
    found.push_back(problem);
  };
  check(entry.values.minRepeatMs, ProblemColumn::MinRepeat);
  check(entry.values.maxRepeatMs, ProblemColumn::MaxRepeat);
}

void CheckRepeatNotRaised(const DocumentEntry& entry, int index, std::vector<Problem>& found) {
  const auto check = [&](std::int32_t repeatMs, ProblemColumn column) {
    if (repeatMs <= 0 || repeatMs >= ShortestRepeatMs) return;
    Problem problem = Found(ProblemSeverity::Warning, index, column, kRuleRepeatRaised);
    problem.facts.value = repeatMs;
    problem.facts.low = ShortestRepeatMs;
    found.push_back(problem);
  };
  check(entry.values.minRepeatMs, ProblemColumn::MinRepeat);
  check(entry.values.maxRepeatMs, ProblemColumn::MaxRepeat);
}

void CheckNameInsideFolder(const DocumentEntry& entry, int index, std::vector<Problem>& found) {
  const std::wstring name = EntryName(entry);
  if (NameStaysInsideFolder(name)) return;
  Problem problem = Found(ProblemSeverity::Error, index, ProblemColumn::Name, kRuleNameOutsideFolder);
  problem.facts.path = name;
  found.push_back(problem);
}

void CheckVolumeInScale(const DocumentEntry& entry, int index, VolumeScale scale, std::vector<Problem>& found) {
  if (VolumeInScale(entry.values.volume, scale)) return;
  Problem problem = Found(ProblemSeverity::Warning, index, ProblemColumn::Volume, kRuleVolumeOutOfScale);
  const VolumeRange range = RangeOf(scale);
  problem.facts.value = entry.values.volume;
  problem.facts.low = range.lowest;
  problem.facts.high = range.highest;
  found.push_back(problem);
}

void CheckTimeOfDayKnown(const DocumentEntry& entry, int index, std::vector<Problem>& found) {
  if (entry.values.timeOfDay < TimeOfDayCount) return;
  Problem problem = Found(ProblemSeverity::Error, index, ProblemColumn::TimeOfDay, kRuleTimeOfDayUnknown);
  problem.facts.value = entry.values.timeOfDay;
  found.push_back(problem);
}

void CheckNameDecodable(const DocumentEntry& entry, int index, const CodePageConverter& converter,
                        std::vector<Problem>& found) {
  if (!NameIsUndecodable(entry, converter)) return;
  found.push_back(Found(ProblemSeverity::Warning, index, ProblemColumn::Name, kRuleNameUndecodable));
}

void CheckSoundExists(int index, const std::wstring& path, const SoundProbe& probe, std::vector<Problem>& found) {
  if (probe.verdict != SoundVerdict::Missing) return;
  Problem problem = Found(ProblemSeverity::Error, index, ProblemColumn::Name, kRuleSoundMissing);
  problem.facts.path = path;
  found.push_back(problem);
}

void CheckSoundPlayable(int index, const std::wstring& path, const SoundProbe& probe, std::vector<Problem>& found) {
  if (probe.verdict != SoundVerdict::Faulty) return;
  Problem problem = Found(ProblemSeverity::Error, index, ProblemColumn::Name, kRuleSoundUnplayable);
  problem.facts.path = path;
  problem.facts.fault = probe.fault;
  problem.facts.refusal = probe.refusal;
  problem.facts.reason = probe.reason;
  found.push_back(problem);
}

void CheckSoundFitsRepeat(const DocumentEntry& entry, int index, const SoundProbe& probe, std::vector<Problem>& found) {
  const std::int32_t minimum = entry.values.minRepeatMs;
  if (probe.verdict != SoundVerdict::Playable || minimum <= 0) return;
  if (probe.durationMs <= static_cast<std::uint64_t>(minimum)) return;
  Problem problem = Found(ProblemSeverity::Warning, index, ProblemColumn::MinRepeat, kRuleSoundOutlastsRepeat);
  problem.facts.value = static_cast<std::int64_t>(probe.durationMs);
  problem.facts.low = minimum;
  found.push_back(problem);
}

void CheckSoundsPlayedOnce(std::span<const DocumentEntry> entries, std::vector<Problem>& found) {
  // The first entry that plays each name at each time-of-day byte.
  std::unordered_map<std::wstring, int> first;
  for (std::size_t index = 0; index < entries.size(); ++index) {
    const std::wstring name = EntryName(entries[index]);
    if (name.empty()) continue;
    const std::wstring key = SoundNameKey(name) + L'\n' + std::to_wstring(entries[index].values.timeOfDay);
    const auto [earlier, isFirst] = first.emplace(key, static_cast<int>(index));
    if (isFirst) continue;
    Problem problem = Found(ProblemSeverity::Warning, static_cast<int>(index), ProblemColumn::Name, kRuleSoundTwice);
    problem.facts.otherEntry = earlier->second;
    found.push_back(problem);
  }
}
