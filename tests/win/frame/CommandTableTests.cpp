#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "commands/CommandStateMap.h"
#include "commands/CommandTable.h"

namespace {

// A feature that records what reaches it and takes only the commands it is told to.
class RecordingFeature : public FrameFeature {
 public:
  explicit RecordingFeature(bool takes = true) : takes_(takes) {}
  bool OnCommand(UINT id) override {
    carried.push_back(id);
    return takes_;
  }
  void UpdateStates(CommandStateMap& states) override {
    ++updates;
    states.EnableCommand(0x9000, true);
  }
  std::vector<UINT> carried;
  int updates = 0;

 private:
  bool takes_;
};

}  // namespace

// Single ids, lists and ranges each reach their own feature, edges included; an id nobody
// carries out is left to the frame's default processing.
TEST(CommandTable, RoutesEachIdToTheFeatureThatCarriesItOut) {
  RecordingFeature files, pages, declines(false);
  CommandTable table;
  static constexpr UINT kFileIds[] = {10, 12};
  table.Add(kFileIds, files);
  table.Add(100, 199, pages);
  table.Add(50, declines);

  EXPECT_TRUE(table.Route(10));
  EXPECT_TRUE(table.Route(12));
  EXPECT_FALSE(table.Route(11));
  EXPECT_TRUE(table.Route(100));
  EXPECT_TRUE(table.Route(199));
  EXPECT_FALSE(table.Route(200));
  EXPECT_FALSE(table.Route(99));
  EXPECT_FALSE(table.Route(50));  // found, but the feature says it is not its command after all
  EXPECT_EQ(files.carried, (std::vector<UINT>{10, 12}));
  EXPECT_EQ(pages.carried, (std::vector<UINT>{100, 199}));
  EXPECT_EQ(declines.carried, (std::vector<UINT>{50}));
  EXPECT_EQ(table.Find(11), nullptr);
  EXPECT_EQ(table.Find(150), &pages);
}

// Overlapping entries are a mistake; the one added first keeps its ids, so a feature added
// later can never take another's command away. Each feature's states are brought up to date
// once per idle pass however many ids it carries out.
TEST(CommandTable, FirstEntryWinsAndEachFeatureUpdatesItsStatesOnce) {
  RecordingFeature first, second;
  CommandTable table;
  table.Add(1, 10, first);
  table.Add(5, second);
  table.Add(11, 20, second);
  table.Add(21, first);
  EXPECT_TRUE(table.Route(5));
  EXPECT_EQ(first.carried, (std::vector<UINT>{5}));
  EXPECT_TRUE(second.carried.empty());
  EXPECT_EQ(table.Features(), (std::vector<FrameFeature*>{&first, &second}));

  CommandStateMap states;
  table.UpdateStates(states);
  EXPECT_EQ(first.updates, 1);
  EXPECT_EQ(second.updates, 1);
}
