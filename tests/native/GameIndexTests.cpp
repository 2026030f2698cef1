#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "AmbientFileBytes.h"
#include "format/Windows1251Converter.h"
#include "game/GameAnswerLines.h"
#include "game/GameIndexBuild.h"

namespace fs = std::filesystem;

namespace {

// A game tree on the disk, written byte by byte by the test.
class GameTree {
 public:
  GameTree()
      : root_(fs::temp_directory_path() /
              ("game-index-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  ~GameTree() { fs::remove_all(root_); }

  void Write(const std::string& relative, const std::vector<std::byte>& bytes) const {
    const fs::path path = root_ / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  void Sound(const std::string& relative, std::size_t size) const {
    Write(relative, std::vector<std::byte>(size));
  }
  void List(const std::string& relative, std::initializer_list<AmbientEntry> entries) const {
    AmbientFileBytes bytes;
    bytes.Count(static_cast<std::int16_t>(entries.size()));
    for (const AmbientEntry& entry : entries) bytes.Record(entry);
    Write(relative, bytes.bytes());
  }
  std::wstring Path(const std::string& relative = "") const {
    return relative.empty() ? root_.wstring() : (root_ / relative).wstring();
  }

 private:
  fs::path root_;
};

// The disk, counting the lists read, and stopping the walk after `stopAfter` files.
class CountingFiles final : public GameFileSystem {
 public:
  GameWalkEnd Walk(const std::wstring& folder, const GameFileVisitor& visit) const override {
    return disk.Walk(folder, [&](std::wstring_view path, std::uint64_t size) {
      if (++walked == stopAfter && stop) *stop = true;
      return visit(path, size);
    });
  }
  GameFileRead ReadStart(const std::wstring& path, std::size_t maxBytes) const override {
    ++reads;
    return disk.ReadStart(path, maxBytes);
  }
  bool IsFile(const std::wstring& path) const override { return disk.IsFile(path); }

  PortableGameFileSystem disk;
  mutable int reads = 0;
  mutable int walked = 0;
  int stopAfter = -1;
  std::atomic<bool>* stop = nullptr;
};

// The sample of a game: two lists in nested folders naming sounds in other case and with `/`,
// two sounds no list names, one name no file has and one entry with no name.
void WriteGame(const GameTree& tree) {
  tree.List("lists/forest.bad", {MakeEntry(1000, 2000, 1, "ambient\\day\\wind.ogg", 50),
                                 MakeEntry(500, 900, 1, "AMBIENT/Day/Bees.wav", 35),
                                 MakeEntry(100, 200, 0, "ambient\\gone.wav", 10)});
  tree.List("lists/swamp/deep/night.BAD",
            {MakeEntry(3000, 4000, 3, "Ambient/DAY/wind.OGG", 70), MakeEntry(1, 2, 7, "", 5),
             MakeEntry(1, 2, 2, "ambient/GONE.wav", 1)});
  tree.Sound("ambient/day/wind.ogg", 3);
  tree.Sound("ambient/day/bees.wav", 5);
  tree.Sound("ambient/night/owl.wav", 7);
  tree.Sound("ambient/Zeta.wav", 11);
}

GameIndexEnd Build(GameIndex& index, const GameFileSystem& files, const std::wstring& game,
                   const std::wstring& soundFolder = L"") {
  const std::atomic<bool> stop = false;
  return BuildGameIndex({game, soundFolder}, files, Windows1251Converter(), stop, index);
}

}  // namespace

TEST(GameIndex, AnswersAcrossNestedListsAsTheGamesFileSystemComparesNames) {
  GameTree tree;
  WriteGame(tree);
  GameIndex index;
  ASSERT_EQ(Build(index, PortableGameFileSystem(), tree.Path()), GameIndexEnd::Done);
  // Found from the lists: the folder above lists/ holds their names.
  EXPECT_EQ(fs::path(index.SoundFolder()), fs::path(tree.Path()));
  ASSERT_EQ(index.Lists().size(), 2u);

  EXPECT_EQ(FormatUsageLines(index, index.Usages(L"ambient/DAY/WIND.ogg")),
            L"lists\\forest.bad\t0\tday\t50\nlists\\swamp\\deep\\night.BAD\t0\tnight\t70\n");
  EXPECT_EQ(FormatUsageLines(index, index.Usages(L"ambient\\day\\bees.wav")),
            L"lists\\forest.bad\t1\tday\t35\n");
  EXPECT_TRUE(index.Usages(L"ambient\\night\\owl.wav").empty());
  EXPECT_TRUE(index.Usages(L"ambient\\day").empty());

  // The lists themselves are no sounds; the files keep their own spelling, sorted without case.
  EXPECT_EQ(FormatUnusedLines(index, index.UnusedSounds()), L"ambient\\night\\owl.wav\nambient\\Zeta.wav\n");
  EXPECT_EQ(index.Sounds().size(), 4u);
  EXPECT_EQ(index.Name(index.Sounds()[0].name), L"ambient\\day\\bees.wav");
  EXPECT_EQ(index.Sounds()[0].size, 5u);
  EXPECT_EQ(index.UseCount(1), 2u);
  // An empty name is no missing file; one missing name spelled two ways is one name.
  EXPECT_EQ(FormatMissingLines(index, index.MissingNames()),
            L"ambient\\gone.wav\tlists\\forest.bad\tlists\\swamp\\deep\\night.BAD\n");
}

TEST(GameIndex, DamagedListsAreIndexedWithWhatWasFound) {
  GameTree tree;
  tree.Sound("sounds/a.wav", 1);
  AmbientFileBytes cut;
  cut.Count(2)
      .Record(MakeEntry(1, 2, 0, "a.wav", 9))
      .Record(MakeEntry(1, 2, 3, "b.wav", 8))
      .CutTo(2 + 116 + 50);
  tree.Write("cut.bad", cut.bytes());
  AmbientFileBytes tooMany;
  tooMany.Count(200).Record(MakeEntry(1, 2, 0, "a.wav", 9));
  tree.Write("many.bad", tooMany.bytes());
  tree.Write("empty.bad", {});
  GameIndex index;
  ASSERT_EQ(Build(index, PortableGameFileSystem(), tree.Path(), tree.Path("sounds")), GameIndexEnd::Done);
  ASSERT_EQ(index.Lists().size(), 3u);
  const GameList& cutList = index.Lists()[*index.FindList(L"CUT.bad")];
  EXPECT_EQ(cutList.state.damage, AmbientFileDamage::LastRecordCut);
  EXPECT_EQ(FormatUsageLines(index, index.Usages(L"a.wav")), L"cut.bad\t0\tdawn\t9\n");
  EXPECT_EQ(index.Lists()[*index.FindList(L"many.bad")].state.error, AmbientLoadError::TooManyEntries);
  EXPECT_TRUE(index.Lists()[*index.FindList(L"many.bad")].entries.empty());
  EXPECT_EQ(index.Lists()[*index.FindList(L"empty.bad")].state.damage, AmbientFileDamage::CountCut);
}

TEST(GameIndex, OneListIsUpdatedWithoutReadingTheOthers) {
  GameTree tree;
  WriteGame(tree);
  CountingFiles files;
  GameIndex index;
  ASSERT_EQ(Build(index, files, tree.Path()), GameIndexEnd::Done);
  EXPECT_EQ(files.reads, 2);

  // The owl is now used and the wind only by the other list; the missing name is in one list.
  tree.List("lists/forest.bad", {MakeEntry(1, 2, 2, "ambient\\night\\OWL.wav", 40)});
  ReloadGameList(index, L"lists\\forest.bad", files, Windows1251Converter());
  EXPECT_EQ(files.reads, 3);
  EXPECT_EQ(FormatUsageLines(index, index.Usages(L"ambient\\night\\owl.wav")),
            L"lists\\forest.bad\t0\tsunset\t40\n");
  EXPECT_EQ(FormatUsageLines(index, index.Usages(L"ambient\\day\\wind.ogg")),
            L"lists\\swamp\\deep\\night.BAD\t0\tnight\t70\n");
  EXPECT_EQ(FormatUnusedLines(index, index.UnusedSounds()), L"ambient\\day\\bees.wav\nambient\\Zeta.wav\n");
  EXPECT_EQ(FormatMissingLines(index, index.MissingNames()),
            L"ambient\\gone.wav\tlists\\swamp\\deep\\night.BAD\n");

  // An open document counts as it is now; a list that lies before the others takes its place.
  const std::vector<AmbientEntryValues> edited = {{L"ambient/zeta.wav", 1, 2, 0, 3}};
  index.PutListEntries(L"a.bad", edited);
  EXPECT_EQ(index.Lists().front().path, L"a.bad");
  EXPECT_EQ(FormatUsageLines(index, index.Usages(L"AMBIENT\\ZETA.WAV")), L"a.bad\t0\tdawn\t3\n");
  EXPECT_EQ(FormatUsageLines(index, index.Usages(L"ambient\\night\\owl.wav")),
            L"lists\\forest.bad\t0\tsunset\t40\n");

  // A list deleted from the disk leaves the game, and its uses with it.
  fs::remove(tree.Path("lists/swamp/deep/night.BAD"));
  ReloadGameList(index, L"lists\\swamp\\deep\\night.BAD", files, Windows1251Converter());
  EXPECT_FALSE(index.FindList(L"lists\\swamp\\deep\\night.bad"));
  EXPECT_TRUE(index.Usages(L"ambient\\day\\wind.ogg").empty());
  EXPECT_TRUE(index.MissingNames().empty());
  EXPECT_EQ(files.reads, 3);

  // Sounds come and go as files do.
  index.PutSound(L"ambient\\day\\Cart.wav", 4);
  EXPECT_TRUE(index.RemoveSound(L"AMBIENT\\ZETA.wav"));
  EXPECT_EQ(FormatUnusedLines(index, index.UnusedSounds()),
            L"ambient\\day\\bees.wav\nambient\\day\\Cart.wav\nambient\\day\\wind.ogg\n");
  EXPECT_EQ(FormatMissingLines(index, index.MissingNames()), L"ambient\\Zeta.wav\ta.bad\n");
}

TEST(GameIndex, StopsBetweenFilesAndSaysWhatItCouldNotList) {
  GameTree tree;
  WriteGame(tree);
  for (int i = 0; i < 40; ++i) tree.Sound("ambient/many/" + std::to_string(i) + ".wav", 1);
  std::atomic<bool> stop = false;
  CountingFiles files;
  files.stop = &stop;
  files.stopAfter = 3;
  GameIndex index;
  EXPECT_EQ(BuildGameIndex({tree.Path(), L""}, files, Windows1251Converter(), stop, index),
            GameIndexEnd::Stopped);
  EXPECT_EQ(files.walked, 3);
  EXPECT_EQ(files.reads, 0);

  EXPECT_EQ(Build(index, PortableGameFileSystem(), tree.Path("no-such-game")),
            GameIndexEnd::GameFolderUnreadable);
  EXPECT_EQ(Build(index, PortableGameFileSystem(), tree.Path("lists"), tree.Path("no-such-sounds")),
            GameIndexEnd::SoundFolderUnreadable);
  EXPECT_EQ(index.Lists().size(), 2u);

  // A sound folder beside the game is walked on its own; names are relative to it.
  EXPECT_EQ(Build(index, PortableGameFileSystem(), tree.Path("lists"), tree.Path("ambient")),
            GameIndexEnd::Done);
  EXPECT_EQ(index.Sounds().size(), 44u);
  const std::wstring missing = FormatMissingLines(index, index.MissingNames());
  EXPECT_EQ(missing.substr(0, missing.find(L'\n')), L"AMBIENT/Day/Bees.wav\tforest.bad");

  std::vector<std::wstring> lists;
  ASSERT_TRUE(FindListsUnder(tree.Path(), PortableGameFileSystem(), lists));
  EXPECT_EQ(lists, (std::vector<std::wstring>{L"lists\\forest.bad", L"lists\\swamp\\deep\\night.BAD"}));
  EXPECT_FALSE(FindListsUnder(tree.Path("nothing"), PortableGameFileSystem(), lists));
}
