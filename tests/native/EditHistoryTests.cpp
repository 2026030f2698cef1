#include <gtest/gtest.h>

#include <string>

#include "ambient/EditHistory.h"
#include "ambient/EntryList.h"

TEST(EditHistory, UndoesAndRedoesInOrderAndTracksTheSavedState) {
  EditHistory<std::string> history;
  history.Reset("a", true);
  EXPECT_FALSE(history.CanUndo());
  EXPECT_EQ(history.Undo(), -1);
  history.Record("ab", 0, 1);
  history.Record("abc", 1, 2);
  EXPECT_FALSE(history.IsAtSaved());

  EXPECT_EQ(history.Undo(), 1);
  EXPECT_EQ(history.Current(), "ab");
  EXPECT_EQ(history.Undo(), 0);
  EXPECT_EQ(history.Current(), "a");
  EXPECT_TRUE(history.IsAtSaved());
  EXPECT_FALSE(history.CanUndo());

  EXPECT_EQ(history.Redo(), 1);
  EXPECT_EQ(history.Current(), "ab");
  EXPECT_FALSE(history.IsAtSaved());
  history.MarkSaved();
  EXPECT_EQ(history.Redo(), 2);
  EXPECT_FALSE(history.CanRedo());
  EXPECT_EQ(history.Redo(), -1);
  EXPECT_EQ(history.Undo(), 1);
  EXPECT_TRUE(history.IsAtSaved());
}

TEST(EditHistory, ANewChangeDropsTheRedoBranchAndASavedStateInIt) {
  EditHistory<std::string> history;
  history.Reset("new", false);
  EXPECT_FALSE(history.IsAtSaved());
  history.Record("x", 0, 0);
  history.Record("xy", 0, 0);
  history.MarkSaved();
  history.Undo();
  history.Record("xz", 0, 0);
  EXPECT_FALSE(history.CanRedo());
  history.Undo();
  EXPECT_EQ(history.Current(), "x");
  EXPECT_FALSE(history.IsAtSaved());
  EXPECT_EQ(history.Redo(), 0);
  EXPECT_EQ(history.Current(), "xz");
  EXPECT_FALSE(history.IsAtSaved());
}

TEST(EntryList, RecordsTravelWithTheirEntriesAndTheLimitHolds) {
  std::vector<DocumentEntry> three(3);
  for (int index = 0; index < 3; ++index) {
    three[index].values.volume = index;
    three[index].record.audioFile[80] = static_cast<char>('a' + index);
  }
  EntryList list;
  ASSERT_TRUE(list.Insert(0, three));
  EXPECT_TRUE(list.Move(0, 1));
  EXPECT_FALSE(list.Move(2, 1));
  list.Erase(2);
  const AmbientImage image = list.Image();
  EXPECT_EQ(image[0].audioFile[80], 'b');
  EXPECT_EQ(image[1].audioFile[80], 'a');
  EXPECT_EQ(image[2].audioFile[80], 0);

  std::vector<DocumentEntry> many(static_cast<std::size_t>(MaxAmbientEntries - 1));
  EXPECT_FALSE(list.Insert(1, many));
  EXPECT_EQ(list.Count(), 2);
  many.pop_back();
  EXPECT_TRUE(list.Insert(1, many));
  EXPECT_EQ(list.Count(), MaxAmbientEntries);
  EXPECT_EQ(list.At(MaxAmbientEntries - 1).record.audioFile[80], 'a');
}
