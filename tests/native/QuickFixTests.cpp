#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "ProblemTestFiles.h"
#include "problems/DocumentChecks.h"
#include "problems/ProblemRules.h"
#include "problems/QuickFix.h"

namespace {

const std::wstring kFolder = L"C:\\game\\sounds";

// The sound folder's files, as the disk would answer for them.
FileExists FilesAt(std::set<std::wstring> paths) {
  return [paths = std::move(paths)](const std::wstring& path) { return paths.count(path) > 0; };
}

// The problem `rule` finds on entry `index`, as the checks report it.
Problem FoundOn(const std::vector<DocumentEntry>& entries, int index, std::string_view rule) {
  CheckSetup setup;
  setup.soundFolder = kFolder;
  const SoundLookup missingEverywhere = [](const std::wstring&) {
    SoundProbe probe;
    probe.verdict = SoundVerdict::Missing;
    return probe;
  };
  for (const Problem& problem : CheckDocument(entries, setup, missingEverywhere))
    if (problem.entry == index && problem.ruleId == rule) return problem;
  ADD_FAILURE() << "no " << rule << " on entry " << index;
  return {};
}

Problem At(int entry, ProblemColumn column, std::string_view rule = kRuleMaxBelowMin) {
  Problem problem;
  problem.entry = entry;
  problem.column = column;
  problem.ruleId = rule;
  return problem;
}

}  // namespace

TEST(QuickFixTest, OffersOnlyTheFixesThatAreCertainWithTheEntryAsItWillBe) {
  const std::vector<DocumentEntry> entries = {
      MakeEntry(L"birds.ogg", 9000, 3000, 2, 70),   // 0: repeat times typed the wrong way round
      MakeEntry(L"gone.ogg", 1000, 2000),           // 1: missing
      MakeEntry(L"C:\\wind\\gust.ogg", 1000, 2000),  // 2: drive letter, the rest is there
      MakeEntry(L"\\\\owl.ogg", 1000, 2000),         // 3: leading slashes, the rest is there
      MakeEntry(L"/frog.ogg", 1000, 2000),           // 4: leading slash, the rest is nowhere
      MakeEntry(L"D:..\\owl.ogg", 1000, 2000),       // 5: drive letter and a way out of the folder
      MakeEntry(L"C:", 1000, 2000),                  // 6: nothing but a drive
  };
  // The disk resolves "..", so a name leading out of the folder may well find a file there.
  const FileExists files =
      FilesAt({kFolder + L"\\wind\\gust.ogg", kFolder + L"\\owl.ogg", kFolder + L"\\..\\owl.ogg"});

  const auto swap = FindQuickFix(FoundOn(entries, 0, kRuleMaxBelowMin), entries, kFolder, files);
  ASSERT_TRUE(swap);
  EXPECT_EQ(swap->kind, QuickFixKind::SwapRepeats);
  EXPECT_EQ(swap->entry, 0);
  EXPECT_EQ(swap->values, (AmbientEntryValues{L"birds.ogg", 3000, 9000, 2, 70}));

  const auto pick = FindQuickFix(FoundOn(entries, 1, kRuleSoundMissing), entries, kFolder, files);
  ASSERT_TRUE(pick);
  EXPECT_EQ(pick->kind, QuickFixKind::PickFile);
  EXPECT_EQ(pick->values, entries[1].values);

  const auto drive = FindQuickFix(FoundOn(entries, 2, kRuleNameOutsideFolder), entries, kFolder, files);
  ASSERT_TRUE(drive);
  EXPECT_EQ(drive->kind, QuickFixKind::DropDriveLetter);
  EXPECT_EQ(drive->values.audioFile, L"wind\\gust.ogg");
  EXPECT_EQ(drive->values.minRepeatMs, 1000);

  const auto slash = FindQuickFix(FoundOn(entries, 3, kRuleNameOutsideFolder), entries, kFolder, files);
  ASSERT_TRUE(slash);
  EXPECT_EQ(slash->kind, QuickFixKind::DropLeadingSlash);
  EXPECT_EQ(slash->values.audioFile, L"owl.ogg");

  for (int index : {4, 5, 6})
    EXPECT_FALSE(FindQuickFix(FoundOn(entries, index, kRuleNameOutsideFolder), entries, kFolder, files))
        << "entry " << index;
  // Without a sound folder nothing proves where the name was meant to lead.
  EXPECT_FALSE(FindQuickFix(FoundOn(entries, 3, kRuleNameOutsideFolder), entries, L"", files));
  // Rules whose fix needs a guess get none.
  std::vector<DocumentEntry> zero = {MakeEntry(L"a.ogg", 0, 1000)};
  EXPECT_FALSE(FindQuickFix(FoundOn(zero, 0, kRuleRepeatNotPositive), zero, kFolder, files));
}

TEST(QuickFixTest, AProblemTheListNoLongerHasGetsNoFix) {
  std::vector<DocumentEntry> entries = {MakeEntry(L"birds.ogg", 9000, 3000), MakeEntry(L"\\owl.ogg", 1, 2)};
  const FileExists files = FilesAt({kFolder + L"\\owl.ogg"});
  const Problem swap = FoundOn(entries, 0, kRuleMaxBelowMin);
  const Problem slash = FoundOn(entries, 1, kRuleNameOutsideFolder);
  entries[0].values.maxRepeatMs = 12000;  // fixed by hand since the check
  entries[1].values.audioFile = L"owl.ogg";
  EXPECT_FALSE(FindQuickFix(swap, entries, kFolder, files));
  EXPECT_FALSE(FindQuickFix(slash, entries, kFolder, files));
  entries.pop_back();  // and the entry deleted
  EXPECT_FALSE(FindQuickFix(slash, entries, kFolder, files));
}

TEST(NextProblemTest, WalksCellsInGridOrderBothWaysAndWrapsAround) {
  using C = ProblemColumn;
  // Not in order, and two problems on one cell.
  const std::vector<Problem> problems = {At(4, C::Volume), At(1, C::MaxRepeat, "BAD002"), At(1, C::MaxRepeat, "BAD001"),
                                         At(1, C::Name), At(7, C::TimeOfDay)};
  const auto next = [&](int entry, std::optional<ProblemColumn> column, bool forward) {
    const auto index = NextProblem(problems, entry, column, forward);
    return index ? problems[*index].entry * 10 + static_cast<int>(problems[*index].column) : -1;
  };
  EXPECT_EQ(next(0, C::Name, true), 10);
  EXPECT_EQ(next(1, std::nullopt, true), 10);  // from the row's number to its first column
  EXPECT_EQ(next(1, C::Name, true), 12);
  EXPECT_EQ(next(1, C::MaxRepeat, true), 44);  // both problems of a cell are one stop
  EXPECT_EQ(next(7, C::TimeOfDay, true), 10);  // wraps to the first
  EXPECT_EQ(next(9, C::Name, true), 10);
  EXPECT_EQ(next(4, C::Volume, false), 12);
  EXPECT_EQ(next(1, C::Name, false), 73);      // wraps to the last
  EXPECT_EQ(next(1, std::nullopt, false), 73);
  EXPECT_EQ(problems[*NextProblem(problems, 1, C::Name, true)].ruleId, "BAD001");
  EXPECT_EQ(problems[*NextProblem(problems, 4, C::Name, false)].ruleId, "BAD001");
  EXPECT_FALSE(NextProblem({}, 0, C::Name, true));
  // A lone problem on the current cell is where the walk comes back to.
  const std::vector<Problem> one = {At(2, C::Volume)};
  EXPECT_EQ(NextProblem(one, 2, C::Volume, true), 0u);
  EXPECT_EQ(NextProblem(one, 2, C::Volume, false), 0u);
}
