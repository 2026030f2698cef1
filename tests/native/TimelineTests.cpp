// The timeline's model and geometry: the lanes and plays it shows for a time of day, and where
// on the pane each moment, lane and bar lies.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ambience/AmbienceFormat.h"
#include "panes/TimelineGeometry.h"
#include "panes/TimelineModel.h"

namespace {

AmbientEntryValues Entry(const wchar_t* name, std::int32_t minMs, std::int32_t maxMs, TimeOfDay time) {
  return {name, minMs, maxMs, static_cast<std::uint8_t>(time), 100};
}

const TimelineMetrics kMetrics = TimelineMetrics::ForDpi(96, 16);

TEST(TimelineModelTests, ShowsTheTimesEntriesAndTheRealizationThePreviewPlays) {
  const std::vector<AmbientEntryValues> entries = {
      Entry(L"owl.wav", 2000, 4000, TimeOfDay::Night), Entry(L"bird.wav", 1000, 2000, TimeOfDay::Day),
      Entry(L"wind.wav", 500, 300, TimeOfDay::Night), Entry(L"gone.wav", 1000, 3000, TimeOfDay::Night),
      Entry(L"cricket.wav", 5000, 9000, TimeOfDay::Night)};
  // The wind repeats at most every 500 ms but lasts a second; the fourth file could not be had.
  const std::vector<std::int64_t> lengths = {AmbienceRate, AmbienceRate, AmbienceRate, 0, AmbienceRate / 2};
  const std::vector<AmbienceSoundProblem> problems = {{3, SoundCacheRefusal::CannotRead, SoundRefusal::None}};

  const TimelineModel model =
      BuildTimelineModel(entries, lengths, problems, TimeOfDay::Night, VolumeScale::Percent, 42, 30'000);

  ASSERT_EQ(model.lanes.size(), 4u);
  EXPECT_EQ(model.lanes[0], (TimelineLane{0, L"owl.wav", false, false}));
  EXPECT_EQ(model.lanes[1], (TimelineLane{2, L"wind.wav", true, false}));
  EXPECT_EQ(model.lanes[2], (TimelineLane{3, L"gone.wav", false, true}));
  EXPECT_EQ(model.lanes[3], (TimelineLane{4, L"cricket.wav", false, false}));
  EXPECT_EQ(LaneOfEntry(model, 2), 1);
  EXPECT_EQ(LaneOfEntry(model, 1), -1);

  EXPECT_EQ(model.plays, AmbienceSchedule::List(entries, lengths, TimeOfDay::Night, VolumeScale::Percent, 42,
                                                FramesOfMs(30'000)));
  EXPECT_EQ(model.curve, ConcurrencyCurve(model.plays));
  EXPECT_GE(model.mostAtOnce, 2);  // the wind always overlaps itself

  const TimelineModel reshuffled =
      BuildTimelineModel(entries, lengths, problems, TimeOfDay::Night, VolumeScale::Percent, 43, 30'000);
  EXPECT_NE(reshuffled.plays, model.plays);
}

TEST(TimelineGeometryTests, MapsTimeToTheAxisRightOfTheLabels) {
  const TimelineGeometry geometry(kMetrics, 1000, 500, {10'000, 60'000}, 3, 0);
  EXPECT_EQ(geometry.PlotLeft(), kMetrics.labelWidth);
  EXPECT_DOUBLE_EQ(geometry.XOfMs(10'000), geometry.PlotLeft());
  EXPECT_DOUBLE_EQ(geometry.XOfMs(70'000), geometry.PlotRight());
  EXPECT_NEAR(geometry.MsOfX(static_cast<int>(geometry.XOfMs(40'000))), 40'000,
              60'000.0 / geometry.PlotWidth());
  EXPECT_DOUBLE_EQ(geometry.XOfFrame(FramesOfMs(10'000)), geometry.PlotLeft());

  // A bar starts at its play's pixel and is a pixel wide however short; one reaching past the
  // view is cut just outside it.
  const int lane1Top = geometry.LanesTop() + kMetrics.laneHeight;
  const TimelineRect hair = geometry.BarRect(1, FramesOfMs(40'000), 1);
  EXPECT_EQ(hair.left, static_cast<int>(std::floor(geometry.XOfMs(40'000))));
  EXPECT_EQ(hair.right, hair.left + 1);
  EXPECT_EQ(hair.top, lane1Top + kMetrics.barInset);
  const TimelineRect early = geometry.BarRect(0, 0, FramesOfMs(20'000));
  EXPECT_EQ(early.left, geometry.PlotLeft() - 1);
}

TEST(TimelineGeometryTests, LanesScrollUnderTheFixedRulerAndCurve) {
  const int lanes = 30;
  const int height = kMetrics.rulerHeight + kMetrics.curveHeight + 10 * kMetrics.laneHeight;
  const TimelineGeometry top(kMetrics, 800, height, {0, 60'000}, lanes, 0);
  EXPECT_EQ(top.MaxScroll(), 20 * kMetrics.laneHeight);
  EXPECT_EQ(top.LaneAt(top.LanesTop()), 0);
  EXPECT_EQ(top.LaneAt(top.LanesTop() - 1), -1);
  EXPECT_EQ(top.LastVisibleLane(), 10);

  const int scroll = 5 * kMetrics.laneHeight + kMetrics.laneHeight / 2;
  const TimelineGeometry scrolled(kMetrics, 800, height, {0, 60'000}, lanes, scroll);
  EXPECT_EQ(scrolled.FirstVisibleLane(), 5);
  EXPECT_EQ(scrolled.LastVisibleLane(), 16);
  EXPECT_EQ(scrolled.LaneAt(scrolled.LanesTop()), 5);
  EXPECT_EQ(scrolled.LaneRect(6).top, scrolled.LanesTop() + kMetrics.laneHeight - kMetrics.laneHeight / 2);
  // Below the last lane is no lane.
  const TimelineGeometry few(kMetrics, 800, height, {0, 60'000}, 2, 0);
  EXPECT_EQ(few.LaneAt(few.LanesTop() + 2 * kMetrics.laneHeight), -1);
}

TEST(TimelineGeometryTests, RulerStepsAreReadableAtEveryWidthAndScale) {
  EXPECT_EQ(RulerStepMs(60'000, 800, 60), 5'000);
  EXPECT_EQ(RulerStepMs(60'000, 800, 120), 10'000);  // the same pane at twice the scale
  EXPECT_EQ(RulerStepMs(60'000, 1600, 120), 5'000);
  EXPECT_EQ(RulerStepMs(10 * 60'000, 800, 60), 60'000);
  EXPECT_EQ(RulerStepMs(30 * 60'000, 300, 60), 600'000);
  EXPECT_EQ(RulerStepMs(5'000, 2000, 60), 200);
  EXPECT_EQ(RulerStepMs(60'000, 0, 60), 3'600'000);

  EXPECT_EQ(FormatTimelineTime(0, 5'000), L"0:00");
  EXPECT_EQ(FormatTimelineTime(65'000, 5'000), L"1:05");
  EXPECT_EQ(FormatTimelineTime(30 * 60'000, 60'000), L"30:00");
  EXPECT_EQ(FormatTimelineTime(1'500, 500), L"0:01.5");

  // Numbers 40 px wide at ticks 100 px apart, a gap of 8 px, the ruler ending at 330.
  const std::vector<RulerLabelPlace> places = PlaceRulerLabels({10, 110, 210, 310}, {40, 40, 40, 40}, 8, 330);
  ASSERT_EQ(places.size(), 4u);
  EXPECT_EQ(places[0].left, 14);
  EXPECT_EQ(places[2].left, 214);
  // The last would pass the edge: it ends left of its tick, clear of the one before (214..254,
  // gap 8).
  EXPECT_EQ(places[3].left, 266);
  EXPECT_EQ(places[3].right, 306);
  // Ticks so close to the edge that the last number, ending there, would touch the one before:
  // it is left out, and no two shown numbers share a pixel.
  const std::vector<RulerLabelPlace> crowded = PlaceRulerLabels({10, 70, 120}, {44, 44, 44}, 8, 130);
  EXPECT_TRUE(crowded[0].Shown());
  EXPECT_TRUE(crowded[1].Shown());
  EXPECT_FALSE(crowded[2].Shown());
  EXPECT_GE(crowded[1].left, crowded[0].right + 8);
}

TEST(TimelineGeometryTests, ZoomKeepsTheTimeUnderTheCursorWithinTheLimits) {
  const TimelineView in = ZoomedView({0, 60'000}, 30'000, 120);
  EXPECT_EQ(in.spanMs, 48'000);
  EXPECT_EQ(in.startMs, 6'000);  // 30 s stays halfway across
  const TimelineView back = ZoomedView(in, 30'000, -120);
  EXPECT_EQ(back, (TimelineView{0, 60'000}));

  // Zooming out near the beginning cannot start before it.
  EXPECT_EQ(ZoomedView({1'000, 60'000}, 50'000, -240).startMs, 0);
  EXPECT_EQ(ZoomedView({0, 6'000}, 3'000, 1200).spanMs, ShortestTimelineSpanMs);
  EXPECT_EQ(ZoomedView({0, 29 * 60'000}, 0, -1200).spanMs, LongestTimelineSpanMs);
  EXPECT_EQ(ClampedView({-5, 0}), (TimelineView{0, ShortestTimelineSpanMs}));
}

TEST(TimelineGeometryTests, HitTestFindsTheLaneAndTheBarUnderThePoint) {
  TimelineModel model;
  model.spanMs = 60'000;
  model.lanes = {{0, L"a.wav"}, {3, L"b.wav"}};
  model.plays = {{0, FramesOfMs(1'000), FramesOfMs(2'000), 1},
                 {3, FramesOfMs(10'000), FramesOfMs(5'000), 1},
                 {3, FramesOfMs(12'000), FramesOfMs(10'000), 1},
                 {3, FramesOfMs(40'000), 10, 1}};
  const TimelineGeometry geometry(kMetrics, 1000, 400, {0, 60'000}, 2, 0);
  const auto at = [&](double ms, int lane) {
    const TimelineRect row = geometry.LaneRect(lane);
    return geometry.HitTest(model, {static_cast<int>(geometry.XOfMs(ms)), (row.top + row.bottom) / 2});
  };
  EXPECT_EQ(at(2'000, 0).play, 0);
  EXPECT_EQ(at(11'000, 1).play, 1);
  EXPECT_EQ(at(13'000, 1).play, 2);  // where two overlap, the later one, drawn on top
  EXPECT_EQ(at(40'000, 1).play, 3);  // a hair-thin bar is still hit
  const TimelineHit empty = at(30'000, 1);
  EXPECT_EQ(empty.lane, 1);
  EXPECT_EQ(empty.play, -1);
  EXPECT_EQ(geometry.HitTest(model, {5, geometry.LaneRect(1).top + 1}).lane, 1);  // on the label
  EXPECT_EQ(geometry.HitTest(model, {500, 2}).lane, -1);                          // on the ruler
}

}  // namespace
