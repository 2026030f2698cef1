// Finding the sound folder from a document's folder upwards, on a made-up disk.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "sound/SoundFolderSearch.h"

namespace {

class SoundFolderSearchTest : public testing::Test {
 protected:
  std::optional<std::wstring> Find(const std::wstring& start, const std::vector<std::wstring>& names) {
    return FindSoundFolder(start, names, [this](const std::wstring& path) {
      asked_.push_back(path);
      return files_.count(path) > 0;
    });
  }

  std::set<std::wstring> files_;
  std::vector<std::wstring> asked_;
};

TEST_F(SoundFolderSearchTest, TheNearestFolderHoldingHalfTheNamesWins) {
  files_ = {L"C:\\game\\ambient\\forest\\birds.ogg", L"C:\\game\\ambient\\cave\\drip.wav",
            L"C:\\game\\data\\ambient\\forest\\birds.ogg", L"C:\\ambient\\forest\\birds.ogg",
            L"C:\\ambient\\cave\\drip.wav", L"C:\\ambient\\wind.ogg"};
  const std::vector<std::wstring> names = {L"ambient\\forest\\birds.ogg", L"ambient/cave/drip.wav", L"",
                                           L"ambient\\sea\\waves.ogg", L"ambient\\wind.ogg"};
  // data holds one of four names; game holds two of four, exactly half; C:\ holds three but is further.
  EXPECT_EQ(Find(L"C:\\game\\data\\lists", names), L"C:\\game");
  EXPECT_EQ(asked_.front(), L"C:\\game\\data\\lists\\ambient\\forest\\birds.ogg");
  EXPECT_EQ(std::count(asked_.begin(), asked_.end(), L"C:\\game\\ambient\\cave\\drip.wav"), 1);
  // The empty name is never asked about.
  EXPECT_EQ(std::count(asked_.begin(), asked_.end(), L"C:\\game\\data\\lists\\"), 0);
}

TEST_F(SoundFolderSearchTest, LooksAtMostFourLevelsUpAndNeedsNames) {
  files_ = {L"C:\\birds.ogg"};
  EXPECT_EQ(Find(L"C:\\a\\b\\c\\d", {L"birds.ogg"}), L"C:\\");
  EXPECT_EQ(Find(L"C:\\a\\b\\c\\d\\e", {L"birds.ogg"}), std::nullopt);
  EXPECT_EQ(Find(L"C:\\a", {}), std::nullopt);
  EXPECT_EQ(Find(L"C:\\a", {L"", L""}), std::nullopt);
  EXPECT_EQ(Find(L"C:\\a", {L"birds.ogg", L"x.ogg", L"y.ogg"}), std::nullopt);  // one of three is not half
}

// Every look is a trip to the disk: a level is left as soon as its answer is sure.
TEST_F(SoundFolderSearchTest, ALevelIsLeftOnceItsAnswerIsSure) {
  std::vector<std::wstring> names;
  for (int index = 0; index < 100; ++index) names.push_back(L"s" + std::to_wstring(index) + L".ogg");
  for (int index = 0; index < 60; ++index) files_.insert(L"C:\\game\\s" + std::to_wstring(index) + L".ogg");
  EXPECT_EQ(Find(L"C:\\game\\lists", names), L"C:\\game");
  // 51 misses in lists settle it; 50 finds in game do.
  EXPECT_EQ(asked_.size(), 101u);
}

TEST(SoundPathTest, JoinsAndClimbsLikeWindowsPaths) {
  EXPECT_EQ(JoinSoundPath(L"C:\\game\\", L"/ambient/birds.ogg"), L"C:\\game\\ambient\\birds.ogg");
  EXPECT_EQ(ParentFolder(L"C:\\game\\data\\"), L"C:\\game");
  EXPECT_EQ(ParentFolder(L"C:\\game"), L"C:\\");
  EXPECT_EQ(ParentFolder(L"C:\\"), L"");
  EXPECT_EQ(ParentFolder(L"\\\\server\\share\\sounds"), L"\\\\server\\share");
  EXPECT_EQ(ParentFolder(L"\\\\server\\share"), L"");
}

}  // namespace
