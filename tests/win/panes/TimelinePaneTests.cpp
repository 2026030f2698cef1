// The timeline pane in a real window under a stand-in for the frame: the bars, marks, curve
// and cursor are read back from its pixels where its geometry says they are, at two display
// scales, and real clicks, wheel turns and keys reach the owner as notifications.

#include <windows.h>
// The common controls need windows.h first.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "WinTestSupport.h"
#include "ambience/AmbienceFormat.h"
#include "panes/TimelinePainter.h"
#include "panes/TimelinePane.h"

namespace {

constexpr UINT kPaneId = 4100;

struct Notice {
  UINT code;
  int entry;
  int play;
  TimelineView view;
};

class TimelineParent : public Window {
 public:
  std::vector<Notice> notices;

 protected:
  bool HandleMessage(Message& m) override {
    if (m.msg != WM_NOTIFY) return Window::HandleMessage(m);
    const auto* notice = reinterpret_cast<const NMTIMELINE*>(m.lParam);
    if (notice->hdr.idFrom == kPaneId)
      notices.push_back({notice->hdr.code, notice->entry, notice->play, notice->view});
    m.result = 0;
    return true;
  }
};

// The client area as the pane paints it, one COLORREF per pixel.
class Capture {
 public:
  explicit Capture(HWND hwnd) {
    RECT client;
    GetClientRect(hwnd, &client);
    width = client.right;
    height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    data.assign(pixels, pixels + static_cast<std::size_t>(width) * height);
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }

  COLORREF At(int x, int y) const {
    const std::uint32_t pixel = data[static_cast<std::size_t>(y) * width + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
  }

  bool AnyIn(const TimelineRect& rect, COLORREF colour) const {
    for (int y = rect.top; y < rect.bottom; ++y)
      for (int x = rect.left; x < rect.right; ++x)
        if (At(x, y) == colour) return true;
    return false;
  }

  // Keeps the picture as a bitmap file when the run asks for pictures (SONARWICK_SHOTS).
  void SaveAs(const char* name) const {
    const char* folder = std::getenv("SONARWICK_SHOTS");
    if (folder == nullptr) return;
    const std::string path = std::string(folder) + "/" + name + ".bmp";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    const DWORD bytes = static_cast<DWORD>(data.size() * 4);
    BITMAPFILEHEADER header{0x4D42,
                            static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) + bytes,
                            0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, bytes, 0, 0, 0, 0};
    std::fwrite(&header, sizeof(header), 1, file);
    std::fwrite(&info, sizeof(info), 1, file);
    std::fwrite(data.data(), 4, data.size(), file);
    std::fclose(file);
  }

  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> data;
};

std::int64_t Frames(std::int64_t ms) { return FramesOfMs(ms); }

// Three lanes: a plain entry, one that always overlaps itself and one whose file is missing.
TimelineModel KnownModel() {
  TimelineModel model;
  model.spanMs = 60'000;
  model.lanes = {{0, L"forest_birds.ogg", false, false},
                 {2, L"wind_gust.ogg", true, false},
                 {5, L"lost_owl.ogg", false, true}};
  model.plays = {{0, Frames(5'000), Frames(3'000), 1},
                 {2, Frames(10'000), Frames(4'000), 1},
                 {2, Frames(12'000), Frames(4'000), 1},
                 {0, Frames(20'000), Frames(2'000), 1},
                 {5, Frames(30'000), 0, 1}};
  model.curve = ConcurrencyCurve(model.plays);
  model.mostAtOnce = 2;
  return model;
}

class TimelinePaneTest : public testing::TestWithParam<UINT> {
 protected:
  static void SetUpTestSuite() {
    parent = new TimelineParent;
    parent->Create(RegisterWindowClass(L"Sonarwick_TestTimelineParent"), nullptr, RECT{20, 20, 1020, 620},
                   L"Timeline", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN);
  }
  static void TearDownTestSuite() {
    delete parent;
    parent = nullptr;
  }
  void SetUp() override {
    RECT client;
    GetClientRect(parent->Handle(), &client);
    ASSERT_NE(pane.Create(parent->Handle(), client, kPaneId), nullptr);
    pane.ApplyDpi(GetParam());
    pane.SetModel(KnownModel());
    BringToFront(parent->Handle());
    SetFocus(pane.Handle());
    PumpMessages();
    parent->notices.clear();
  }

  POINT Screen(TimelinePoint point) const { return ClientToScreenPoint(pane.Handle(), point.x, point.y); }
  TimelinePoint InBar(int lane, std::int64_t startMs, std::int64_t lengthMs) const {
    const TimelineRect bar = pane.Geometry().BarRect(lane, Frames(startMs), Frames(lengthMs));
    return {(bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2};
  }
  std::string ShotName(const char* what) const {
    return std::string("timeline-") + what + "-" + std::to_string(GetParam());
  }

  static TimelineParent* parent;
  TimelinePane pane;
};

TimelineParent* TimelinePaneTest::parent = nullptr;

TEST_P(TimelinePaneTest, DrawsBarsMarksCurveAndCursorWhereTheGeometrySays) {
  // A moving cursor asks for the two strips it leaves and enters, nothing else.
  pane.SetCursorTime(20'000);
  PumpMessages();
  pane.SetCursorTime(40'000);
  HRGN update = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(GetUpdateRgn(pane.Handle(), update, FALSE), COMPLEXREGION);
  std::vector<char> data(GetRegionData(update, 0, nullptr));
  GetRegionData(update, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
  DeleteObject(update);
  const auto* region = reinterpret_cast<const RGNDATA*>(data.data());
  ASSERT_EQ(region->rdh.nCount, 2u);
  for (DWORD index = 0; index < 2; ++index) {
    const RECT strip = reinterpret_cast<const RECT*>(region->Buffer)[index];
    EXPECT_EQ(strip.right - strip.left, TimelineCursorWidth(GetParam()));
  }

  const Capture shot(pane.Handle());
  shot.SaveAs(ShotName("lanes").c_str());
  const TimelineGeometry geometry = pane.Geometry();
  const TimelineColours colours = TimelineColours::FromSystem();

  // Each play starts at its pixel, with the lane's background just before it.
  const TimelineRect first = geometry.BarRect(0, Frames(5'000), Frames(3'000));
  const int middle = (first.top + first.bottom) / 2;
  EXPECT_EQ(shot.At(first.left, middle), colours.bar);
  EXPECT_EQ(shot.At(first.right - 1, middle), colours.bar);
  EXPECT_EQ(shot.At(first.left - 2, middle), colours.background);
  EXPECT_EQ(shot.At(first.right + 1, middle), colours.background);
  const TimelineRect second = geometry.BarRect(0, Frames(20'000), Frames(2'000));
  EXPECT_EQ(shot.At(second.left, middle), colours.bar);
  EXPECT_EQ(shot.At(first.left, first.top - 1), colours.background);  // the lane's inset above the bar

  // The overlapping entry's bars in its own colour, run together, and its mark.
  const TimelineRect overlap = geometry.BarRect(1, Frames(10'000), Frames(6'000));
  const int overlapMiddle = (overlap.top + overlap.bottom) / 2;
  EXPECT_EQ(shot.At(overlap.left, overlapMiddle), colours.overlapBar);
  EXPECT_EQ(shot.At((overlap.left + overlap.right) / 2, overlapMiddle), colours.overlapBar);
  EXPECT_EQ(shot.At(overlap.left - 2, overlapMiddle), colours.stripe);
  const int laterStart = geometry.BarRect(1, Frames(12'000), Frames(4'000)).left;
  EXPECT_EQ(shot.At(laterStart, overlapMiddle), colours.stripe);  // where the second play begins
  EXPECT_EQ(shot.At(laterStart + 2 * geometry.Metrics().hairline, overlapMiddle), colours.overlapBar);
  EXPECT_TRUE(shot.AnyIn(geometry.MarkRect(1), colours.overlapBar));
  EXPECT_FALSE(shot.AnyIn(geometry.MarkRect(0), colours.overlapBar));

  // The missing file's mark, its hatch, and the tick where it would have begun.
  EXPECT_TRUE(shot.AnyIn(geometry.MarkRect(2), colours.warning));
  EXPECT_FALSE(shot.AnyIn(geometry.MarkRect(1), colours.warning));
  const TimelineRect missingLane = geometry.LaneRect(2);
  EXPECT_FALSE(shot.AnyIn({geometry.PlotLeft(), missingLane.top, geometry.PlotRight(), missingLane.bottom},
                          colours.bar));
  const TimelineRect tick = geometry.BarRect(2, Frames(30'000), 0);
  EXPECT_EQ(shot.At(tick.left, (tick.top + tick.bottom) / 2), colours.dimText);

  // The curve: two at once where the wind overlaps itself, none at the beginning.
  const TimelineRect curve = geometry.CurveRect();
  const int crowded = static_cast<int>(geometry.XOfMs(13'000));
  EXPECT_TRUE(shot.AnyIn({crowded, curve.top, crowded + 1, curve.top + (curve.bottom - curve.top) / 3},
                         colours.curveLine));
  const int quiet = static_cast<int>(geometry.XOfMs(1'000));
  EXPECT_EQ(shot.At(quiet, curve.bottom - 3 * geometry.Metrics().hairline), colours.background);
  const int single = static_cast<int>(geometry.XOfMs(6'000));
  EXPECT_EQ(shot.At(single, curve.bottom - 3 * geometry.Metrics().hairline), colours.curveFill);

  // The running cursor, and nothing of it once it is hidden.
  const int cursor = static_cast<int>(geometry.XOfMs(40'000));
  EXPECT_EQ(shot.At(cursor, middle), colours.cursor);
  pane.SetCursorTime(-1);
  EXPECT_EQ(Capture(pane.Handle()).At(cursor, middle), colours.background);

  // What the screen shows after a paint is the same picture.
  EXPECT_EQ(ReadClientPixel(pane.Handle(), first.left, middle), colours.bar);
}

TEST_P(TimelinePaneTest, ClicksAndKeysChooseTheEntry) {
  ClickAt(Screen(InBar(1, 12'000, 4'000)));
  ASSERT_EQ(parent->notices.size(), 1u);
  EXPECT_EQ(parent->notices[0].code, TIMELINEN_SELECTENTRY);
  EXPECT_EQ(parent->notices[0].entry, 2);
  EXPECT_EQ(parent->notices[0].play, 2);
  EXPECT_EQ(pane.SelectedEntry(), 2);
  EXPECT_EQ(GetFocus(), pane.Handle());

  // A click on a lane's empty stretch or its label chooses the entry without a play.
  const TimelineRect lane = pane.Geometry().LaneRect(0);
  ClickAt(Screen({static_cast<int>(pane.Geometry().XOfMs(50'000)), (lane.top + lane.bottom) / 2}));
  ClickAt(Screen({pane.Geometry().PlotLeft() / 2, pane.Geometry().LaneRect(2).top + 2}));
  ASSERT_EQ(parent->notices.size(), 3u);
  EXPECT_EQ(parent->notices[1].entry, 0);
  EXPECT_EQ(parent->notices[1].play, -1);
  EXPECT_EQ(parent->notices[2].entry, 5);
  const Capture shot(pane.Handle());
  shot.SaveAs(ShotName("selected").c_str());
  EXPECT_EQ(shot.At(2, pane.Geometry().LaneRect(2).top + 2), TimelineColours::FromSystem().selection);

  PressKey(VK_UP);
  ASSERT_EQ(parent->notices.size(), 4u);
  EXPECT_EQ(parent->notices[3].entry, 2);
  // Above the ruler nothing is chosen.
  ClickAt(Screen({pane.Geometry().PlotLeft() + 10, 2}));
  EXPECT_EQ(parent->notices.size(), 4u);
}

TEST_P(TimelinePaneTest, CtrlWheelZoomsAboutThePointerAndTellsTheOwner) {
  const TimelineGeometry before = pane.Geometry();
  const int x = static_cast<int>(before.XOfMs(30'000));
  const POINT at = Screen({x, before.LaneRect(0).top + 2});
  MoveMouseTo(at);
  INPUT inputs[3] = {KeyInput(VK_CONTROL, false), {}, KeyInput(VK_CONTROL, true)};
  inputs[1].type = INPUT_MOUSE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_WHEEL;
  inputs[1].mi.mouseData = static_cast<DWORD>(WHEEL_DELTA);
  SendInput(3, inputs, sizeof(INPUT));
  PumpUntil([&] { return !parent->notices.empty(); });

  ASSERT_EQ(parent->notices.size(), 1u);
  EXPECT_EQ(parent->notices[0].code, TIMELINEN_SPANCHANGED);
  EXPECT_EQ(pane.View().spanMs, 48'000);
  EXPECT_EQ(parent->notices[0].view, pane.View());
  EXPECT_NEAR(pane.Geometry().MsOfX(x), 30'000, 2 * 60'000.0 / before.PlotWidth());

  // The keys zoom from the view's start, and back to the beginning.
  PressKey(VK_HOME);
  PressKey(VK_SUBTRACT);
  EXPECT_EQ(pane.View(), (TimelineView{0, 60'000}));
  EXPECT_EQ(parent->notices.back().view, pane.View());
  // Past the model's end the lanes show that nothing is known there, not silence.
  PressKey(VK_SUBTRACT);
  ASSERT_EQ(pane.View(), (TimelineView{0, 75'000}));
  const Capture beyond(pane.Handle());
  const TimelineRect lane = pane.Geometry().LaneRect(0);
  EXPECT_EQ(beyond.At(static_cast<int>(pane.Geometry().XOfMs(70'000)), lane.top + 1),
            TimelineColours::FromSystem().rulerFace);
  EXPECT_EQ(beyond.At(static_cast<int>(pane.Geometry().XOfMs(50'000)), lane.top + 1),
            TimelineColours::FromSystem().background);
  PressKey(VK_ADD);
  pane.SetModel(KnownModel());
  EXPECT_EQ(pane.View(), (TimelineView{0, 60'000}));  // a new model keeps the view
}

TEST_P(TimelinePaneTest, LanesThatDoNotFitScrollUnderTheRuler) {
  TimelineModel many = KnownModel();
  many.lanes.clear();
  for (int entry = 0; entry < 60; ++entry)
    many.lanes.push_back({entry, L"sound_" + std::to_wstring(entry) + L".ogg"});
  pane.SetModel(std::move(many));
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(pane.Handle(), SB_VERT, &info));
  EXPECT_EQ(info.nMax + 1, pane.Geometry().ContentHeight());

  const TimelineGeometry top = pane.Geometry();
  MoveMouseTo(Screen({top.PlotLeft() + 20, top.LaneRect(0).top + 2}));
  INPUT wheel{};
  wheel.type = INPUT_MOUSE;
  wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
  wheel.mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA);
  SendInput(1, &wheel, sizeof(INPUT));
  PumpUntil([&] { return pane.Geometry().FirstVisibleLane() > 0; });
  EXPECT_EQ(pane.Geometry().FirstVisibleLane(), 3);
  EXPECT_TRUE(parent->notices.empty());

  // Choosing a lane out of sight brings it in.
  pane.SetSelectedEntry(59);
  EXPECT_EQ(pane.Geometry().LastVisibleLane(), 60);
  const Capture shot(pane.Handle());
  const TimelineRect last = pane.Geometry().LabelRect(59);
  EXPECT_EQ(shot.At(2, last.top + 2), TimelineColours::FromSystem().selection);
  // The ruler stays on top of the scrolled lanes.
  EXPECT_EQ(shot.At(2, 2), TimelineColours::FromSystem().rulerFace);
}

// A list's realization as the preview plays it: wherever no play begins, a lane's column shows
// a bar exactly where one of its entry's plays lasts.
TEST_P(TimelinePaneTest, ShowsTheRealizationOfAList) {
  const std::vector<AmbientEntryValues> entries = {
      {L"forest_birds.ogg", 3'000, 9'000, 3, 80}, {L"day_bees.ogg", 2'000, 4'000, 1, 80},
      {L"owl_call.ogg", 6'000, 14'000, 3, 90},    {L"wind_loop.ogg", 1'500, 2'500, 3, 60},
      {L"crickets.ogg", 400, 900, 3, 50},         {L"far_wolf.ogg", 15'000, 30'000, 3, 100},
      {L"missing_frog.ogg", 2'000, 5'000, 3, 70}, {L"creek.ogg", 8'000, 8'000, 3, 60}};
  const std::vector<std::int64_t> lengths = {
      Frames(1'800), Frames(1'000), Frames(2'500), Frames(4'000), Frames(300), Frames(3'200), 0,
      Frames(6'000)};
  const std::vector<AmbienceSoundProblem> problems = {{6, SoundCacheRefusal::CannotRead, SoundRefusal::None}};
  pane.SetModel(
      BuildTimelineModel(entries, lengths, problems, TimeOfDay::Night, VolumeScale::Percent, 11, 60'000));
  pane.SetCursorTime(21'500);
  const Capture shot(pane.Handle());
  shot.SaveAs(ShotName("realization").c_str());
  const TimelineGeometry geometry = pane.Geometry();
  const TimelineColours colours = TimelineColours::FromSystem();
  const TimelineModel& model = pane.Model();
  ASSERT_EQ(model.lanes.size(), 7u);
  const int cursor = static_cast<int>(geometry.XOfMs(21'500));

  int barColumns = 0;
  for (int lane = 0; lane < static_cast<int>(model.lanes.size()); ++lane) {
    const TimelineLane& info = model.lanes[static_cast<std::size_t>(lane)];
    const COLORREF bar = info.overlapsItself ? colours.overlapBar : colours.bar;
    std::vector<bool> covered(static_cast<std::size_t>(geometry.Width())), starts(covered.size());
    for (const AmbiencePlay& play : model.plays) {
      if (play.entry != info.entry || play.length == 0) continue;
      const TimelineRect rect = geometry.BarRect(lane, play.start, play.length);
      for (int x = std::max(rect.left, geometry.PlotLeft()); x < std::min(rect.right, geometry.Width()); ++x)
        covered[static_cast<std::size_t>(x)] = true;
      // A play that begins inside another's bar leaves a hairline edge there.
      for (int x = rect.left; x < rect.left + geometry.Metrics().hairline; ++x)
        if (x >= 0 && x < geometry.Width()) starts[static_cast<std::size_t>(x)] = true;
    }
    const TimelineRect row = geometry.BarRect(lane, 0, 0);
    const int y = (row.top + row.bottom) / 2;
    for (int x = geometry.PlotLeft(); x < geometry.PlotRight(); ++x) {
      if (starts[static_cast<std::size_t>(x)] || std::abs(x - cursor) <= TimelineCursorWidth(GetParam()))
        continue;
      ASSERT_EQ(shot.At(x, y) == bar, covered[static_cast<std::size_t>(x)]) << "lane " << lane << " x " << x;
      barColumns += covered[static_cast<std::size_t>(x)] ? 1 : 0;
    }
  }
  EXPECT_GT(barColumns, geometry.PlotWidth());
  EXPECT_TRUE(model.lanes[2].overlapsItself);  // the wind lasts longer than it waits
  EXPECT_TRUE(model.lanes[5].soundMissing);
}

// The marks say what they mean when the pointer rests on them, in the owner's words.
TEST_P(TimelinePaneTest, MarksExplainThemselvesInATip) {
  pane.SetMarkTips(L"Starts again before it ends", L"The file is missing");
  const auto visibleTip = [] {
    HWND tip = nullptr;
    while ((tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) != nullptr)
      if (IsWindowVisible(tip)) return tip;
    return tip;
  };
  const auto restOn = [&](const TimelineRect& rect) {
    const int y = (rect.top + rect.bottom) / 2;
    MoveMouseTo(Screen({rect.left + 1, y}));
    MoveMouseTo(Screen({rect.left + 2, y}));
  };
  restOn(pane.Geometry().MarkRect(2));
  ASSERT_TRUE(PumpUntil([&] { return visibleTip() != nullptr; }, 5000));
  EXPECT_EQ(WindowText(visibleTip()), L"The file is missing");
  restOn(pane.Geometry().MarkRect(1));
  EXPECT_TRUE(PumpUntil(
      [&] { return visibleTip() != nullptr && WindowText(visibleTip()) == L"Starts again before it ends"; },
      5000));
  // A lane without a mark has no tip.
  restOn(pane.Geometry().MarkRect(0));
  PumpUntil([] { return false; }, 1500);
  EXPECT_EQ(visibleTip(), nullptr);
}

TEST_P(TimelinePaneTest, LeavesNoObjectBehindWhenClosed) {
  std::vector<long> before;
  for (int kind = 0; kind < static_cast<int>(HandleKind::Count); ++kind)
    before.push_back(LiveHandleCount(static_cast<HandleKind>(kind)));
  {
    TimelinePane other;
    other.Create(parent->Handle(), RECT{0, 0, 600, 300}, kPaneId + 1);
    other.ApplyDpi(GetParam() == 96 ? 144 : 96);
    other.SetModel(KnownModel());
    other.SetCursorTime(1'000);
    UpdateWindow(other.Handle());
    const Capture shot(other.Handle());
    other.ApplyDpi(GetParam());
    MoveWindow(other.Handle(), 0, 0, 700, 350, TRUE);
    UpdateWindow(other.Handle());
  }
  PumpMessages();
  for (int kind = 0; kind < static_cast<int>(HandleKind::Count); ++kind)
    EXPECT_EQ(LiveHandleCount(static_cast<HandleKind>(kind)), before[static_cast<std::size_t>(kind)]) << kind;
}

INSTANTIATE_TEST_SUITE_P(DisplayScales, TimelinePaneTest, testing::Values(96u, 192u));

}  // namespace
