#include <gtest/gtest.h>

#include "ambient/NameReplacement.h"
#include "format/Windows1251Converter.h"

namespace {

const Windows1251Converter converter;

NameSearch Search(std::wstring text, bool matchCase = false, bool wholeName = false) {
  return {std::move(text), matchCase, wholeName};
}

}  // namespace

TEST(NameReplacement, MatchesCaseAndWholeNameAsAsked) {
  EXPECT_TRUE(NameMatches(L"Лес\\Птицы.wav", Search(L"лес\\")));
  EXPECT_FALSE(NameMatches(L"Лес\\Птицы.wav", Search(L"лес\\", true)));
  EXPECT_TRUE(NameMatches(L"ĽUBICA.WAV", Search(L"ľubica")));
  EXPECT_TRUE(NameMatches(L"ЁЖ.wav", Search(L"ёж.WAV", false, true)));
  EXPECT_FALSE(NameMatches(L"ёж.wav", Search(L"ёж", false, true)));
  EXPECT_FALSE(NameMatches(L"anything", Search(L"")));

  EXPECT_EQ(ReplaceInName(L"Wind\\wind.wav", Search(L"WIND"), L"air"), L"air\\air.wav");
  EXPECT_EQ(ReplaceInName(L"Wind\\wind.wav", Search(L"wind", true), L"air"), L"Wind\\air.wav");
  EXPECT_EQ(ReplaceInName(L"aaa", Search(L"aa"), L"a"), L"aa");  // no match across a replacement
  EXPECT_EQ(ReplaceInName(L"a.wav", Search(L"A.WAV", false, true), L"b.ogg"), L"b.ogg");
  EXPECT_EQ(ReplaceInName(L"xa.wav", Search(L"a.wav", false, true), L"b.ogg"), L"xa.wav");
}

TEST(NameReplacement, FindsTheNextMatchWrappingEitherWay) {
  const std::vector<std::wstring> names = {L"a.wav", L"b.ogg", L"c.wav", L"d.ogg"};
  EXPECT_EQ(FindMatchingName(names, -1, true, Search(L".wav")), 0);
  EXPECT_EQ(FindMatchingName(names, 0, true, Search(L".wav")), 2);
  EXPECT_EQ(FindMatchingName(names, 2, true, Search(L".wav")), 0);
  EXPECT_EQ(FindMatchingName(names, 0, false, Search(L".wav")), 2);
  EXPECT_EQ(FindMatchingName(names, -1, false, Search(L".ogg")), 3);
  EXPECT_EQ(FindMatchingName(names, 1, true, Search(L"b.ogg", false, true)), 1);  // only itself
  EXPECT_EQ(FindMatchingName(names, 1, true, Search(L".mp3")), -1);
  EXPECT_EQ(FindMatchingName({}, -1, true, Search(L".wav")), -1);
  EXPECT_EQ(CountMatchingNames(names, Search(L".WAV")), 2);
}

TEST(NameReplacement, ReplacesEveryNameOrNoneAndNamesTheFirstRefusal) {
  const std::vector<std::wstring> names = {L"лес\\a.wav", L"поле\\b.wav", L"ЛЕС\\c.wav"};
  const NamesReplaced moved = ReplaceInNames(names, Search(L"лес\\"), L"роща\\", converter);
  ASSERT_TRUE(moved);
  EXPECT_EQ(moved.changed, 2);
  EXPECT_EQ(moved.names, (std::vector<std::wstring>{L"роща\\a.wav", L"поле\\b.wav", L"роща\\c.wav"}));

  const NamesReplaced tooLong = ReplaceInNames(names, Search(L"\\"), std::wstring(94, L'ж'), converter);
  EXPECT_FALSE(tooLong);
  EXPECT_EQ(tooLong.refusedEntry, 1);  // "лес" leaves 102 bytes, "поле" 103
  EXPECT_EQ(tooLong.refusal, EntryTextError::NameTooLong);
  EXPECT_TRUE(tooLong.names.empty());
  EXPECT_EQ(tooLong.changed, 0);

  const NamesReplaced foreign = ReplaceInNames(names, Search(L"c.wav"), L"森.wav", converter);
  EXPECT_EQ(foreign.refusedEntry, 2);
  EXPECT_EQ(foreign.refusal, EntryTextError::NameNotConvertible);
  EXPECT_EQ(foreign.refusedName, L"ЛЕС\\森.wav");

  EXPECT_EQ(ReplaceInNames(names, Search(L".wav"), L"\t.wav", converter).refusal,
            EntryTextError::NameHasControlCharacter);

  // A name already too long but untouched by the replacement is no reason to refuse.
  const std::vector<std::wstring> stored = {std::wstring(120, L'x'), L"a.wav"};
  const NamesReplaced untouched = ReplaceInNames(stored, Search(L"a.wav", false, true), L"b.wav", converter);
  ASSERT_TRUE(untouched);
  EXPECT_EQ(untouched.changed, 1);
}
