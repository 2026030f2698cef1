#include <gtest/gtest.h>

#include <string>

#include "ambient/EditHistory.h"
#include "ambient/EntryList.h"

namespace {

DocumentEntry Named(const wchar_t* name) {
  DocumentEntry entry;
  entry.values.audioFile = std::wstring(name);
  return entry;
}

EntryList ListOf(std::initializer_list<const wchar_t*> names) {
  EntryList list;
  for (const wchar_t* name : names) {
    DocumentEntry entry = Named(name);
    list.Insert(list.Count(), {&entry, 1});
  }
  return list;
}

std::wstring Names(const EntryList& list) {
  std::wstring names;
  for (int index = 0; index < list.Count(); ++index) names += *list.At(index).values.audioFile;
  return names;
}

// Makes `change` on `list` and records it, as the document does.
void Make(EditHistory& history, EntryList& list, EntryChange change) {
  change.ApplyTo(list, true);
  history.Record(std::move(change));
}

}  // namespace

TEST(EditHistory, StepsOfEveryShapeGoBackAndForthAndTrackTheSavedState) {
  EntryList list = ListOf({L"a", L"b", L"c"});
  EditHistory history;
  history.Reset(true);
  EXPECT_EQ(history.Undo(), nullptr);

  Make(history, list, EntryChange::Replacing(1, {}, {Named(L"x"), Named(L"y")}));  // insert
  Make(history, list, EntryChange::Replacing(0, {Named(L"a")}, {}));               // delete
  Make(history, list, EntryChange::Replacing(1, {Named(L"y"), Named(L"b")}, {Named(L"b"), Named(L"y")}));
  Make(history, list, EntryChange::Replacing(0, {Named(L"x")}, {Named(L"z")}));  // cell edit
  EXPECT_EQ(Names(list), L"zbyc");
  EXPECT_FALSE(history.IsAtSaved());

  const wchar_t* states[] = {L"xbyc", L"xybc", L"axybc", L"abc"};
  for (const wchar_t* state : states) {
    history.Undo()->ApplyTo(list, false);
    EXPECT_EQ(Names(list), state);
  }
  EXPECT_TRUE(history.IsAtSaved());
  EXPECT_FALSE(history.CanUndo());

  history.Redo()->ApplyTo(list, true);
  history.Redo()->ApplyTo(list, true);
  EXPECT_EQ(Names(list), L"xybc");
  history.MarkSaved();
  // A new change drops what was undone, and a saved point among it.
  history.Undo()->ApplyTo(list, false);
  Make(history, list, EntryChange::Replacing(0, {Named(L"a")}, {Named(L"q")}));
  EXPECT_FALSE(history.CanRedo());
  history.Undo()->ApplyTo(list, false);
  EXPECT_FALSE(history.IsAtSaved());
  EXPECT_EQ(Names(list), L"axybc");
}

TEST(EditHistory, ASingleEntryStepCostsUnderAKibibyteAndAMoveKeepsNoEntries) {
  EntryList list;
  for (int index = 0; index < MaxAmbientEntries; ++index) {
    DocumentEntry entry = Named(L"ambient\\forest\\birds-in-the-morning-light.ogg");
    list.Insert(index, {&entry, 1});
  }
  EditHistory history;
  history.Reset(true);
  const std::size_t empty = history.MemoryBytes();
  for (int step = 0; step < 1000; ++step) {
    const int row = step % MaxAmbientEntries;
    DocumentEntry edited = list.At(row);
    edited.values.volume = step;
    Make(history, list, EntryChange::Replacing(row, list.Slice(row, 1), {edited}));
  }
  EXPECT_LT((history.MemoryBytes() - empty) / 1000, 1024u);

  const std::size_t edits = history.MemoryBytes();
  for (int step = 0; step < 1000; ++step)
    Make(history, list, EntryChange::Moving(10, 3, step % 2 == 0 ? 1 : -1));
  EXPECT_LT((history.MemoryBytes() - edits) / 1000, 128u);
}

TEST(EntryList, BlockMovesStopAtTheEdgesAndUndoExactly) {
  EntryList list = ListOf({L"a", L"b", L"c", L"d", L"e"});
  EXPECT_FALSE(list.MoveBlock(0, 2, -1));
  EXPECT_FALSE(list.MoveBlock(3, 2, 1));
  EXPECT_FALSE(list.MoveBlock(4, 2, -1));
  EditHistory history;
  history.Reset(true);
  Make(history, list, EntryChange::Moving(1, 2, 2));
  EXPECT_EQ(Names(list), L"adebc");
  Make(history, list, EntryChange::Moving(3, 2, -3));
  EXPECT_EQ(Names(list), L"bcade");
  history.Undo()->ApplyTo(list, false);
  history.Undo()->ApplyTo(list, false);
  EXPECT_EQ(Names(list), L"abcde");
}

TEST(EntryList, ReplaceRefusesRangesOutsideTheListAndGrowthBeyondTheLimit) {
  EntryList list = ListOf({L"a", L"b"});
  DocumentEntry extra = Named(L"x");
  EXPECT_FALSE(list.Replace(1, 2, {&extra, 1}));
  EXPECT_FALSE(list.Replace(-1, 0, {&extra, 1}));
  EXPECT_TRUE(list.Replace(2, 0, {&extra, 1}));
  EXPECT_EQ(Names(list), L"abx");
  std::vector<DocumentEntry> many(MaxAmbientEntries - 2, extra);
  EXPECT_FALSE(list.Replace(0, 0, many));
  EXPECT_TRUE(list.Replace(0, 1, many));
  EXPECT_EQ(list.Count(), MaxAmbientEntries);
}

// Every command step selects, undone and done again, exactly the entries it acted on and led
// to, however far apart; the next step made from that selection touches those and no others.
TEST(EntryChange, CommandStepsGiveBackTheScatteredEntriesTheyWereMadeOn) {
  EntryList list = ListOf({L"a", L"b", L"c", L"d", L"e", L"f", L"g", L"h"});
  const std::vector<int> scattered{2, 3, 4, 7};
  EditHistory history;
  history.Reset(true);

  Make(history, list, EntryChange::Duplicating(list, scattered));
  EXPECT_EQ(Names(list), L"abcdefghcdeh");
  const EntryChange* undone = history.Undo();
  undone->ApplyTo(list, false);
  EXPECT_EQ(undone->selectBefore, scattered);
  EXPECT_EQ(history.Redo()->selectAfter, (std::vector<int>{8, 9, 10, 11}));
  history.Undo()->ApplyTo(list, false);

  Make(history, list, *EntryChange::MovingSelected(list, {1, 3, 5}, -1));
  EXPECT_EQ(Names(list), L"badcfegh");
  EXPECT_EQ(history.Undo()->selectBefore, (std::vector<int>{1, 3, 5}));
  EXPECT_EQ(history.Redo()->selectAfter, (std::vector<int>{0, 2, 4}));
  history.Undo()->ApplyTo(list, false);
  EXPECT_FALSE(EntryChange::MovingSelected(list, {0, 3}, -1));
  EXPECT_FALSE(EntryChange::MovingSelected(list, {5, 7}, +1));

  // A value set in entries 1, 3 and 5, taken back: deleting what is then selected takes three.
  const auto rename = [](int, DocumentEntry& entry) {
    entry.values.audioFile = L"x";
    return true;
  };
  std::optional<EntryChange> filled = EntryChange::Editing(list, {1, 3, 5}, rename);
  ASSERT_TRUE(filled);
  EXPECT_EQ(filled->ChangedEntries(), 3);
  Make(history, list, std::move(*filled));
  EXPECT_EQ(Names(list), L"axcxexgh");
  const EntryChange* fill = history.Undo();
  fill->ApplyTo(list, false);
  Make(history, list, EntryChange::Deleting(list, fill->selectBefore));
  EXPECT_EQ(Names(list), L"acegh");
  EXPECT_EQ(history.Undo()->selectBefore, (std::vector<int>{1, 3, 5}));
  EXPECT_FALSE(EntryChange::Editing(list, {1, 3}, [](int index, DocumentEntry&) { return index != 3; }));
}
