#include <windows.h>

#include "FrameTestSupport.h"
#include "resources/ResourceIds.h"
#include "panes/TimelinePane.h"

namespace {

using AmbienceFrame = FrameTest;

TimelinePane* FindTimeline(HWND frame) {
  HWND pane = FindWindowExW(frame, nullptr, L"Sonarwick_TimelinePane", nullptr);
  return pane != nullptr ? dynamic_cast<TimelinePane*>(Window::FromHandle(pane)) : nullptr;
}

std::vector<int> LaneEntries(const TimelinePane& pane) {
  std::vector<int> entries;
  for (const TimelineLane& lane : pane.Model().lanes) entries.push_back(lane.entry);
  return entries;
}

// The sample holds one entry per time of day: dawn, day, sunset, night.
TEST_F(AmbienceFrame, TheTimelineShowsTheChosenTimeAndSelectsWhatIsClicked) {
  ASSERT_TRUE(frame->OpenDocument(CopyOfSample(L"four-times-of-day.bad")));
  EXPECT_EQ(FindTimeline(Hwnd()), nullptr) << "the pane is made only when first shown";
  Command(CMD_VIEW_TIMELINE);
  Pump();
  TimelinePane* pane = FindTimeline(Hwnd());
  ASSERT_NE(pane, nullptr);
  ASSERT_TRUE(IsWindowVisible(pane->Handle()));
  EXPECT_TRUE(ViewItemChecked(CMD_VIEW_TIMELINE));
  // The documents end above the pane; neither covers the other.
  EXPECT_LE(ChildRect(frame->ClientWindow()).bottom, ChildRect(pane->Handle()).top);
  EXPECT_EQ(LaneEntries(*pane), std::vector<int>{1}) << "day is heard first";

  Command(CMD_AMBIENCE_NIGHT);
  Pump();
  EXPECT_EQ(LaneEntries(*pane), std::vector<int>{3});
  const std::vector<AmbiencePlay> before = pane->Model().plays;
  ASSERT_FALSE(before.empty());
  Command(CMD_AMBIENCE_RESHUFFLE);
  Pump();
  EXPECT_NE(pane->Model().plays, before) << "a new seed draws new repeat times";

  // A click on a lane reaches the frame as its entry, which the document selects.
  NMTIMELINE notice{};
  notice.hdr = {pane->Handle(), static_cast<UINT_PTR>(GetDlgCtrlID(pane->Handle())), TIMELINEN_SELECTENTRY};
  notice.entry = 3;
  notice.play = -1;
  SendMessageW(Hwnd(), WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
  EXPECT_EQ(frame->ActiveView()->GetSelectedEntry(), 3);

  Command(CMD_VIEW_TIMELINE);
  Pump();
  EXPECT_FALSE(IsWindowVisible(pane->Handle()));
  EXPECT_FALSE(ViewItemChecked(CMD_VIEW_TIMELINE));
  EXPECT_EQ(ChildRect(frame->ClientWindow()).bottom, ChildRect(pane->Handle()).bottom) << "the documents take its room";
}

}  // namespace
