// Every rule on a list with one planted mistake per entry, the same list made sound, and the
// document's problems kept up to date entry by entry.

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "ProblemTestFiles.h"
#include "ambience/AmbienceSounds.h"
#include "problems/DocumentChecks.h"
#include "problems/ListCheck.h"
#include "problems/ProblemRules.h"
#include "problems/ProblemText.h"
#include "problems/QuickFix.h"

namespace {

// A code page of 7-bit bytes only, so that a name can hold bytes it cannot read.
class AsciiConverter final : public CodePageConverter {
 public:
  std::optional<std::wstring> ToUtf16(std::string_view bytes) const override {
    std::wstring text;
    for (const char c : bytes) {
      if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
      text += static_cast<wchar_t>(c);
    }
    return text;
  }
  std::optional<std::string> FromUtf16(std::wstring_view text) const override {
    std::string bytes;
    for (const wchar_t c : text) {
      if (c >= 0x80) return std::nullopt;
      bytes += static_cast<char>(c);
    }
    return bytes;
  }
};

// An entry as read from a file whose name has bytes the code page cannot read.
DocumentEntry UndecodableEntry(const CodePageConverter& converter) {
  DocumentEntry entry = MakeEntry(L"", 1000, 2000);
  StoreAudioFileBytes(entry.record, "\xE9t\xE9.wav");
  entry.values.audioFile = DecodeName(AudioFileBytes(entry.record), converter);
  return entry;
}

using Found = std::vector<std::pair<int, std::string>>;

Found Summary(const std::vector<Problem>& problems) {
  Found found;
  for (const Problem& problem : problems) found.emplace_back(problem.entry, std::string(problem.ruleId));
  return found;
}

class ProblemRulesTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const wchar_t* name : {L"a.wav", L"A.WAV", L"b.wav", L"c.wav", L"d.wav", L"e.wav", L"f.wav", L"g.wav"}) {
      files_.Put(std::wstring(L"snd\\") + name, MakeWave(500));
    }
    files_.Put(L"snd\\long.wav", MakeWave(3000));
    std::vector<std::byte> cut = MakeWave(500);
    cut.resize(cut.size() / 2);
    files_.Put(L"snd\\cut.wav", cut);
    files_.Put(L"snd\\odd.wav", std::vector<std::byte>(64, std::byte{'x'}));
  }

  std::vector<Problem> Check(const std::vector<DocumentEntry>& entries, VolumeScale scale = VolumeScale::Percent) {
    setup_ = {L"snd", &converter_, scale};
    return CheckDocument(entries, setup_, [this](const std::wstring& path) { return cache_.Probe(files_, path); });
  }

  MemoryFiles files_;
  SoundProbeCache cache_;
  AsciiConverter converter_;
  CheckSetup setup_;
};

TEST_F(ProblemRulesTest, EachRuleFindsItsPlantedMistakeAndNothingElse) {
  const std::vector<DocumentEntry> planted = {
      MakeEntry(L"a.wav", 1000, 2000),          // 0: sound
      MakeEntry(L"b.wav", 3000, 2000),          // 1: maximum below minimum
      MakeEntry(L"c.wav", 0, 1000),             // 2: minimum of 0
      MakeEntry(L"long.wav", 1000, 5000),       // 3: lasts 3 s, may repeat after 1 s
      MakeEntry(L"gone.wav", 1000, 2000),       // 4: no such file
      MakeEntry(L"cut.wav", 1000, 2000),        // 5: cut off
      MakeEntry(L"C:\\snd\\d.wav", 1000, 2000), // 6: drive letter
      MakeEntry(L"\\d.wav", 1000, 2000),        // 7: leading backslash
      MakeEntry(L"/h.wav", 1000, 2000),         // 8: leading slash
      MakeEntry(L"x\\..\\..\\d.wav", 1000, 2000),  // 9: climbs out
      MakeEntry(L"A.WAV", 1000, 2000),          // 10: entry 0's file, the same time of day
      MakeEntry(L"e.wav", 1000, 2000, 0, 150),  // 11: beyond percent
      MakeEntry(L"f.wav", 1000, 2000, 7),       // 12: unknown time of day
      UndecodableEntry(converter_),             // 13: bytes the code page cannot read
      MakeEntry(L"odd.wav", 1000, 2000),        // 14: not a sound file
      MakeEntry(L"g.wav", -5, -1),              // 15: both repeat times negative
      MakeEntry(L"locked.wav", 1000, 2000),     // 16: there, but held without sharing
      MakeEntry(L"d.wav", 50, 2000),            // 17: played as 100 ms; outlasts it
  };
  files_.Deny(L"snd\\locked.wav", 32);  // ERROR_SHARING_VIOLATION
  const std::vector<Problem> problems = Check(planted);
  const Found expected = {{1, "BAD001"},  {2, "BAD002"},  {3, "BAD003"},  {4, "BAD004"},  {5, "BAD005"},
                          {6, "BAD006"},  {7, "BAD006"},  {8, "BAD006"},  {9, "BAD006"},  {10, "BAD007"},
                          {11, "BAD008"}, {12, "BAD009"}, {13, "BAD010"}, {14, "BAD005"},
                          {15, "BAD002"}, {15, "BAD002"}, {16, "BAD005"}, {17, "BAD003"}, {17, "BAD011"}};
  EXPECT_EQ(Summary(problems), expected);

  // The facts each sentence names.
  EXPECT_EQ(problems[0].column, ProblemColumn::MaxRepeat);
  EXPECT_EQ(problems[0].severity, ProblemSeverity::Error);
  EXPECT_EQ(problems[2].facts.value, 3000);
  EXPECT_EQ(problems[2].facts.low, 1000);
  EXPECT_EQ(problems[2].severity, ProblemSeverity::Warning);
  EXPECT_EQ(problems[3].facts.path, L"snd\\gone.wav");
  EXPECT_EQ(problems[4].facts.refusal, SoundRefusal::Truncated);
  EXPECT_EQ(problems[9].facts.otherEntry, 0);
  EXPECT_EQ(problems[10].facts.high, 100);
  EXPECT_EQ(problems[13].facts.refusal, SoundRefusal::UnknownFormat);
  EXPECT_EQ(problems[14].column, ProblemColumn::MinRepeat);
  EXPECT_EQ(problems[15].column, ProblemColumn::MaxRepeat);
  // Not missing: no file to pick, and the system's reason instead of a format to save it in.
  EXPECT_EQ(problems[16].facts.fault, SoundFault::Unreadable);
  EXPECT_EQ(DescribeProblem(problems[16], ProblemLanguage::English),
            L"The file “snd\\locked.wav” is there but cannot be read (system error 32): close the program that "
            L"holds it or let this one read it.");
  EXPECT_FALSE(FindQuickFix(problems[16], planted, L"snd", [](const std::wstring&) { return true; }));
  EXPECT_EQ(problems[18].facts.value, 50);
  EXPECT_EQ(problems[18].facts.low, 100);

  // Every problem has a whole sentence in both languages.
  for (const Problem& problem : problems) {
    for (const ProblemLanguage language : {ProblemLanguage::English, ProblemLanguage::Russian}) {
      const std::wstring sentence = DescribeProblem(problem, language);
      EXPECT_GT(sentence.size(), 30u) << problem.ruleId;
      EXPECT_EQ(sentence.find(L'{'), std::wstring::npos) << problem.ruleId;
      EXPECT_EQ(sentence.back(), L'.') << problem.ruleId;
    }
  }
}

TEST_F(ProblemRulesTest, ASoundListHasNoProblems) {
  const std::vector<DocumentEntry> sound = {
      MakeEntry(L"a.wav", 1000, 2000),  MakeEntry(L"A.WAV", 1000, 2000, 1),  // same file, another time of day
      MakeEntry(L"b.wav", 500, 500),    MakeEntry(L"long.wav", 3000, 4000),  // lasts exactly its minimum
      MakeEntry(L"..d.wav", 100, 100, 3), MakeEntry(L"", 1000, 2000),          // ".." only as part of a name; no name
  };
  files_.Put(L"snd\\..d.wav", MakeWave(1));
  EXPECT_EQ(Summary(Check(sound)), Found{});

  // The same volumes read in hundredths of a decibel are all beyond that scale.
  EXPECT_EQ(Check(sound, VolumeScale::Centibels).size(), sound.size());
  EXPECT_EQ(GuessListVolumeScale(sound), VolumeScale::Percent);
}

TEST_F(ProblemRulesTest, NamesCompareAsTheGamesFileSystemDoes) {
  EXPECT_EQ(SoundNameKey(L"Лес/Ночь/Сова.WAV"), SoundNameKey(L"лес\\ночь\\сова.wav"));
  EXPECT_EQ(SoundNameKey(L"Ёж.wav"), SoundNameKey(L"ёж.wav"));
  EXPECT_NE(SoundNameKey(L"a.wav"), SoundNameKey(L"a.wa"));
}

// The checker and the preview ask one question of a name: where the game looks for it. What
// BAD006 says the game never finds, the preview (and so the timeline and the export) must not
// play either; every other name is looked for at the same path by both.
TEST(SoundNameTest, TheCheckerAndThePreviewFindANameAlike) {
  struct Case {
    const wchar_t* name;
    const wchar_t* path;  // where the game looks; null: it never finds the name
  };
  const Case cases[] = {
      {L"x.wav", L"C:\\game\\sound\\x.wav"},
      {L"ambient\\x.wav", L"C:\\game\\sound\\ambient\\x.wav"},
      {L"ambient/x.wav", L"C:\\game\\sound\\ambient\\x.wav"},
      {L"a..b.wav", L"C:\\game\\sound\\a..b.wav"},
      {L"\\ambient\\x.wav", nullptr},
      {L"/ambient/x.wav", nullptr},
      {L"ambient\\..\\ambient\\x.wav", nullptr},
      {L"ambient/../x.wav", nullptr},
      {L"C:\\game\\sound\\x.wav", nullptr},
      {L"d:x.wav", nullptr},
      {L"..", nullptr},
  };
  std::vector<std::wstring> asked;
  const SoundFileReader reader{
      [&asked](const std::wstring& path) -> std::optional<SoundFileStamp> {
        asked.push_back(path);
        return std::nullopt;
      },
      [](const std::wstring&) -> std::optional<std::vector<std::byte>> { return std::nullopt; }};
  SoundCache sounds(reader);
  for (const Case& known : cases) {
    SCOPED_TRACE(testing::Message() << std::string(known.name, known.name + std::wcslen(known.name)));
    const DocumentEntry entry = MakeEntry(known.name, 1000, 2000, 1, 50);
    const std::vector<Problem> found = CheckEntry(entry, 0, CheckSetup{L"C:\\game\\sound", nullptr});
    const bool outside =
        std::any_of(found.begin(), found.end(), [](const Problem& p) { return p.ruleId == "BAD006"; });
    EXPECT_EQ(outside, known.path == nullptr);
    EXPECT_EQ(SoundPathOf(entry, L"C:\\game\\sound"), known.path != nullptr ? known.path : L"");

    asked.clear();
    const AmbienceSounds heard =
        LoadAmbienceSounds(std::vector{entry.values}, L"C:\\game\\sound", TimeOfDay::Day, sounds);
    EXPECT_EQ(asked,
              known.path != nullptr ? std::vector<std::wstring>{known.path} : std::vector<std::wstring>{});
    ASSERT_EQ(heard.problems.size(), 1u);
    EXPECT_EQ(heard.problems[0].refusal, SoundCacheRefusal::CannotRead);
  }
}

TEST_F(ProblemRulesTest, AnEditRechecksOnlyTheEntryThatChanged) {
  std::vector<DocumentEntry> entries = {MakeEntry(L"a.wav", 1000, 2000), MakeEntry(L"b.wav", 1000, 2000),
                                        MakeEntry(L"c.wav", 1000, 2000)};
  setup_ = {L"snd", &converter_, VolumeScale::Percent};
  const SoundLookup sounds = [this](const std::wstring& path) { return cache_.Probe(files_, path); };
  DocumentProblems document;
  EXPECT_FALSE(document.Update(entries, setup_, sounds));
  EXPECT_EQ(document.EntriesRechecked(), 3);

  entries[1].values.maxRepeatMs = 500;
  EXPECT_TRUE(document.Update(entries, setup_, sounds));
  EXPECT_EQ(document.EntriesRechecked(), 1);
  EXPECT_EQ(Summary(document.Problems()), (Found{{1, "BAD001"}}));
  EXPECT_EQ(document.ErrorCount(), 1);

  // A name made equal to another's is found although the other entry was not checked again.
  entries[2].values.audioFile = L"B.wav";
  EXPECT_TRUE(document.Update(entries, setup_, sounds));
  EXPECT_EQ(document.EntriesRechecked(), 1);
  EXPECT_EQ(document.WarningCount(), 1);

  // A new entry is checked even when it is the editor's blank one.
  entries.push_back(DocumentEntry{});
  EXPECT_TRUE(document.Update(entries, setup_, sounds));
  EXPECT_EQ(document.EntriesRechecked(), 1);
  EXPECT_EQ(Summary(document.Problems()).back(), (std::pair<int, std::string>{3, "BAD002"}));

  // Another scale changes what every volume means.
  setup_.volumeScale = VolumeScale::Centibels;
  EXPECT_TRUE(document.Update(entries, setup_, sounds));
  EXPECT_EQ(document.EntriesRechecked(), 4);
}

TEST(ListCheckTest, ChecksAListFileFindingItsSoundFolderAndTellsTheExitCode) {
  MemoryFiles files;
  files.Put(L"C:\\game\\data\\sounds\\owl.wav", MakeWave(200));
  files.Put(L"C:\\game\\data\\sounds\\wind.wav", MakeWave(200));
  const Windows1251Converter converter;
  const auto bytesOf = [&](std::vector<AmbientEntryValues> values) {
    return EncodeAmbientFile(AmbientImage{}, values, converter).bytes;
  };
  const std::wstring listFolder = L"C:\\game\\data\\lists";

  const ListCheck clean = CheckListFile(bytesOf({{L"sounds\\owl.wav", 1000, 2000, 3, 80}, {L"sounds/wind.wav", 500, 900, 1, 20}}),
                                        listFolder, L"", converter, files);
  EXPECT_EQ(clean.soundFolder, L"C:\\game\\data");
  EXPECT_TRUE(clean.problems.empty());

  const ListCheck planted = CheckListFile(bytesOf({{L"sounds\\owl.wav", 2000, 1000, 3, 80}, {L"sounds\\fox.wav", 500, 900, 1, 20}}),
                                          listFolder, L"", converter, files);
  EXPECT_EQ(Summary(planted.problems), (Found{{0, "BAD001"}, {1, "BAD004"}}));
  // A folder given by the user is taken as it is.
  EXPECT_EQ(CheckListFile(bytesOf({{L"owl.wav", 1000, 2000, 0, 0}}), listFolder, L"C:\\game\\data\\sounds", converter, files)
                .problems.size(),
            0u);

  // Nine decibel volumes and a typed 100: the typo is flagged against decibels, the rest are not.
  std::vector<AmbientEntryValues> decibels;
  for (int volume : {-600, -1200, -300, 0, -2500, -800, -100, -4000, -1500, 100})
    decibels.push_back({L"sounds\\owl.wav", 1000, 2000, static_cast<std::uint8_t>(decibels.size() % 4), volume});
  const ListCheck typo = CheckListFile(bytesOf(decibels), listFolder, L"", converter, files);
  Found outOfScale;
  for (const auto& found : Summary(typo.problems))
    if (found.second == "BAD008") outOfScale.push_back(found);
  EXPECT_EQ(outOfScale, (Found{{9, "BAD008"}}));
  EXPECT_EQ(typo.problems.back().facts.low, -10000);
  EXPECT_EQ(typo.problems.back().facts.high, 0);

  std::vector<std::byte> tooMany = bytesOf({});
  tooMany[0] = std::byte{101};
  const ListCheck unreadable = CheckListFile(tooMany, listFolder, L"", converter, files);
  EXPECT_EQ(unreadable.loadError, AmbientLoadError::TooManyEntries);

  EXPECT_EQ(CheckExitCode(std::vector{clean}), 0);
  EXPECT_EQ(CheckExitCode(std::vector{clean, planted}), 1);
  EXPECT_EQ(CheckExitCode(std::vector{planted, unreadable, clean}), 2);
}

}  // namespace
