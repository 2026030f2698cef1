#include <gtest/gtest.h>

#include "cli/ToolOptions.h"

namespace {

ToolOptions Parse(std::vector<std::wstring> arguments) { return ParseToolOptions(arguments); }

}  // namespace

TEST(ToolOptions, AnEditorCommandLineNamesFilesAndRefusesOptions) {
  EXPECT_EQ(Parse({}).mode, ToolMode::None);
  EXPECT_EQ(Parse({}).error, ToolArgumentError::None);
  const ToolOptions files = Parse({L"forest.bad", L"-x.bad"});
  EXPECT_EQ(files.error, ToolArgumentError::None);
  EXPECT_EQ(files.lists, (std::vector<std::wstring>{L"forest.bad", L"-x.bad"}));

  // A mistyped tool is refused, not opened as a file named "--chek".
  const ToolOptions typo = Parse({L"--chek", L"forest.bad"});
  EXPECT_EQ(typo.mode, ToolMode::None);
  EXPECT_EQ(typo.error, ToolArgumentError::UnknownOption);
  EXPECT_EQ(typo.argument, L"--chek");
  // A tool's name is one only as the first argument.
  EXPECT_EQ(Parse({L"forest.bad", L"--check"}).error, ToolArgumentError::UnknownOption);

  // A file whose name begins with "--" is reached after "--", or by its path.
  const ToolOptions dashed = Parse({L".\\--odd.bad", L"--", L"--odd.bad", L"--"});
  EXPECT_EQ(dashed.error, ToolArgumentError::None);
  EXPECT_EQ(dashed.lists, (std::vector<std::wstring>{L".\\--odd.bad", L"--odd.bad", L"--"}));
}

TEST(ToolOptions, CheckTakesListsAndASoundFolder) {
  const ToolOptions options = Parse({L"--check", L"a.bad", L"--sound-folder", L"C:\\game", L"b.bad"});
  EXPECT_EQ(options.mode, ToolMode::Check);
  EXPECT_EQ(options.error, ToolArgumentError::None);
  EXPECT_EQ(options.lists, (std::vector<std::wstring>{L"a.bad", L"b.bad"}));
  EXPECT_EQ(options.soundFolder, L"C:\\game");
  // Options of the render are no options of the check.
  EXPECT_EQ(Parse({L"--check", L"a.bad", L"--time", L"day"}).error, ToolArgumentError::UnknownOption);
  EXPECT_EQ(Parse({L"--check"}).error, ToolArgumentError::NoList);
  EXPECT_EQ(Parse({L"--check", L"a.bad", L"--sound-folder"}).error, ToolArgumentError::MissingValue);
  EXPECT_EQ(Parse({L"--check", L"a.bad", L"--chek"}).error, ToolArgumentError::UnknownOption);

  const ToolOptions dashed =
      Parse({L"--check", L"--sound-folder", L"C:\\game", L"--", L"--odd.bad", L"--time"});
  EXPECT_EQ(dashed.error, ToolArgumentError::None);
  EXPECT_EQ(dashed.lists, (std::vector<std::wstring>{L"--odd.bad", L"--time"}));
  EXPECT_EQ(Parse({L"--check", L"--"}).error, ToolArgumentError::NoList);
}

TEST(ToolOptions, AnOptionGivenTwiceIsRefused) {
  const ToolOptions twice =
      Parse({L"--check", L"a.bad", L"--sound-folder", L"C:\\x", L"--sound-folder", L"C:\\x"});
  EXPECT_EQ(twice.error, ToolArgumentError::RepeatedOption);
  EXPECT_EQ(twice.argument, L"--sound-folder");
  // Whichever value came last would win: the script meant one of them.
  const ToolOptions time =
      Parse({L"--render-ambience", L"a.bad", L"--time", L"night", L"--out", L"o.wav", L"--time", L"day"});
  EXPECT_EQ(time.error, ToolArgumentError::RepeatedOption);
  EXPECT_EQ(time.argument, L"--time");
}

TEST(ToolOptions, RenderTakesEveryValueAndRefusesWhatIsWrong) {
  const ToolOptions options = Parse({L"--render-ambience", L"a.bad", L"--time", L"Night", L"--seconds", L"90",
                                     L"--seed", L"18446744073709551615", L"--out", L"o.wav", L"--volume-scale",
                                     L"centibels"});
  EXPECT_EQ(options.error, ToolArgumentError::None);
  EXPECT_EQ(options.time, TimeOfDay::Night);
  EXPECT_EQ(options.seconds, 90);
  EXPECT_EQ(options.seed, UINT64_MAX);
  EXPECT_EQ(options.out, L"o.wav");
  EXPECT_EQ(options.volumeScale, VolumeScale::Centibels);

  const auto errorOf = [](std::vector<std::wstring> tail) {
    std::vector<std::wstring> arguments{L"--render-ambience", L"a.bad"};
    arguments.insert(arguments.end(), tail.begin(), tail.end());
    return ParseToolOptions(arguments);
  };
  EXPECT_EQ(errorOf({L"--time", L"noon", L"--out", L"o.wav"}).error, ToolArgumentError::BadTime);
  EXPECT_EQ(errorOf({L"--time", L"noon", L"--out", L"o.wav"}).argument, L"noon");
  EXPECT_EQ(errorOf({L"--time", L"day", L"--out", L"o.wav", L"--seconds", L"0"}).error, ToolArgumentError::BadSeconds);
  EXPECT_EQ(errorOf({L"--time", L"day", L"--out", L"o.wav", L"--seconds", L"3601"}).error, ToolArgumentError::BadSeconds);
  EXPECT_EQ(errorOf({L"--time", L"day", L"--out", L"o.wav", L"--seconds", L"-5"}).error, ToolArgumentError::BadSeconds);
  EXPECT_EQ(errorOf({L"--time", L"day", L"--out", L"o.wav", L"--seed", L"18446744073709551616"}).error,
            ToolArgumentError::BadSeed);
  EXPECT_EQ(errorOf({L"--time", L"day", L"--out", L"o.wav", L"--volume-scale", L"db"}).error,
            ToolArgumentError::BadVolumeScale);
  EXPECT_EQ(errorOf({L"--out", L"o.wav"}).error, ToolArgumentError::NoTime);
  EXPECT_EQ(errorOf({L"--time", L"day"}).error, ToolArgumentError::NoOutput);
  EXPECT_EQ(errorOf({L"b.bad", L"--time", L"day", L"--out", L"o.wav"}).error, ToolArgumentError::OneListOnly);
}

TEST(ToolOptions, GameToolsTakeTheSoundAndTheGameFolderAndNothingMore) {
  const ToolOptions usages =
      Parse({L"--usages", L"ambient/day/wind.ogg", L"C:\\game", L"--sound-folder", L"D:\\s"});
  EXPECT_EQ(usages.mode, ToolMode::Usages);
  EXPECT_EQ(usages.error, ToolArgumentError::None);
  EXPECT_EQ(usages.lists, (std::vector<std::wstring>{L"ambient/day/wind.ogg", L"C:\\game"}));
  EXPECT_EQ(usages.soundFolder, L"D:\\s");
  const ToolOptions unused = Parse({L"--unused-sounds", L"--missing", L"C:\\game"});
  EXPECT_EQ(unused.mode, ToolMode::UnusedSounds);
  EXPECT_EQ(unused.error, ToolArgumentError::None);
  EXPECT_TRUE(unused.missing);
  EXPECT_EQ(unused.lists, (std::vector<std::wstring>{L"C:\\game"}));
  EXPECT_FALSE(Parse({L"--unused-sounds", L"C:\\game"}).missing);

  EXPECT_EQ(Parse({L"--usages"}).error, ToolArgumentError::NoSound);
  EXPECT_EQ(Parse({L"--usages", L"wind.ogg"}).error, ToolArgumentError::NoGame);
  EXPECT_EQ(Parse({L"--unused-sounds", L"--missing"}).error, ToolArgumentError::NoGame);
  EXPECT_EQ(Parse({L"--usages", L"a.wav", L"game", L"other"}).error, ToolArgumentError::ExtraArgument);
  EXPECT_EQ(Parse({L"--usages", L"a.wav", L"game", L"other"}).argument, L"other");
  EXPECT_EQ(Parse({L"--unused-sounds", L"game", L"other"}).error, ToolArgumentError::ExtraArgument);
  // --missing belongs to the unused sounds only; the checks still take any number of lists.
  EXPECT_EQ(Parse({L"--usages", L"a.wav", L"game", L"--missing"}).error, ToolArgumentError::UnknownOption);
  EXPECT_EQ(Parse({L"--check", L"a.bad", L"b.bad", L"c"}).error, ToolArgumentError::None);
}
