// Repaints the timeline pane for 100 entries over ten minutes, and fills the same lanes and bars
// with plain GDI calls into a bitmap of the same size (no ruler, no curve, one call per bar);
// prints the time per repaint of both and their ratio.
//
//   timeline_paint_bench.exe [repaints]
//
// "full" draws every lane afresh (as after a change of the model, the view or the scroll) into
// a bitmap tall enough for all 100 lanes; "screen" repaints the pane on the screen; "cursor"
// moves the running cursor, which only copies the strips it left and entered.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "ambience/AmbienceFormat.h"
#include "panes/TimelinePane.h"
#include "win/UniqueHandle.h"

namespace {

constexpr int kEntries = 100;
constexpr std::int64_t kSpanMs = 10 * 60'000;
constexpr int kWidth = 1200;
constexpr int kScreenHeight = 700;

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double TimeIt(int times, const std::function<void()>& work) {
  const double start = Now();
  for (int i = 0; i < times; ++i) work();
  return (Now() - start) / times;
}

// A crowded night: short and long sounds, some repeating sooner than they last.
TimelineModel CrowdedNight() {
  std::vector<AmbientEntryValues> entries;
  std::vector<std::int64_t> lengths;
  for (int index = 0; index < kEntries; ++index) {
    const std::int32_t shortest = 1'000 + (index * 379) % 15'000;
    entries.push_back({L"ambient\\night_layer_" + std::to_wstring(index) + L".ogg", shortest,
                       shortest + (index * 743) % 20'000, static_cast<std::uint8_t>(TimeOfDay::Night), 80});
    lengths.push_back(FramesOfMs(500 + (index * 211) % 9'000));
  }
  return BuildTimelineModel(entries, lengths, {}, TimeOfDay::Night, VolumeScale::Percent, 7, kSpanMs);
}

class Target {
 public:
  Target(int width, int height) {
    HDC screen = GetDC(nullptr);
    dc.reset(CreateCompatibleDC(screen));
    bitmap.reset(CreateCompatibleBitmap(screen, width, height));
    ReleaseDC(nullptr, screen);
    previous = SelectObject(dc.get(), bitmap.get());
  }
  ~Target() { SelectObject(dc.get(), previous); }

  UniqueMemoryDC dc;
  UniqueBitmap bitmap;
  HGDIOBJ previous = nullptr;
};

// The least any timeline must do: a background, a label per lane and a rectangle per play.
void PlainPaint(HDC dc, const TimelineGeometry& geometry, const TimelineModel& model, HFONT font) {
  const RECT all{0, 0, geometry.Width(), geometry.Height()};
  FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
  HGDIOBJ previous = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  for (int lane = 0; lane < static_cast<int>(model.lanes.size()); ++lane) {
    const TimelineRect label = geometry.LabelRect(lane);
    RECT r{label.left, label.top, label.right, label.bottom};
    DrawTextW(dc, model.lanes[static_cast<std::size_t>(lane)].label.c_str(), -1, &r,
              DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  }
  for (const AmbiencePlay& play : model.plays) {
    const TimelineRect bar = geometry.BarRect(LaneOfEntry(model, play.entry), play.start, play.length);
    const RECT r{bar.left, bar.top, bar.right, bar.bottom};
    FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
  }
  SelectObject(dc, previous);
}

// Keeps what the pane shows as a bitmap file when the run asks for pictures (SONARWICK_SHOTS),
// so that a crowded list can be looked at as a user sees it.
void SaveShot(HWND pane) {
  const char* folder = std::getenv("SONARWICK_SHOTS");
  if (folder == nullptr) return;
  RECT client;
  GetClientRect(pane, &client);
  BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  info.biSizeImage = static_cast<DWORD>(client.right * client.bottom * 4);
  void* bits = nullptr;
  UniqueBitmap bitmap(
      CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0));
  UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
  if (!bitmap || !dc) return;
  HGDIOBJ previous = SelectObject(dc.get(), bitmap.get());
  SendMessageW(pane, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
  GdiFlush();
  const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  const BITMAPFILEHEADER header{0x4D42, offset + info.biSizeImage, 0, 0, offset};
  if (FILE* file = std::fopen((std::string(folder) + "/timeline-100-entries.bmp").c_str(), "wb")) {
    std::fwrite(&header, sizeof(header), 1, file);
    std::fwrite(&info, sizeof(info), 1, file);
    std::fwrite(bits, 1, info.biSizeImage, file);
    std::fclose(file);
  }
  SelectObject(dc.get(), previous);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int repaints = argc > 1 ? _wtoi(argv[1]) : 50;
  if (repaints <= 0) repaints = 50;

  TimelineModel model = CrowdedNight();
  const std::size_t plays = model.plays.size();
  Window parent;
  parent.Create(RegisterWindowClass(L"Sonarwick_TimelineBenchParent"), nullptr,
                RECT{0, 0, kWidth, kScreenHeight}, L"timeline bench",
                WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
  TimelinePane pane;
  pane.Create(parent.Handle(), RECT{0, 0, kWidth, kScreenHeight}, 1);
  pane.SetView({0, kSpanMs});
  pane.SetModel(model);

  // Tall enough for every lane, so that the full repaint draws all 100.
  const int fullHeight = pane.Geometry().LanesTop() + pane.Geometry().ContentHeight();
  MoveWindow(pane.Handle(), 0, 0, kWidth, fullHeight, FALSE);
  const TimelineGeometry geometry = pane.Geometry();
  Target ours(kWidth, fullHeight), plain(kWidth, fullHeight);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  UniqueFont font(CreateFontIndirectW(&metrics.lfMessageFont));

  const auto full = [&] {
    pane.Refresh();
    SendMessageW(pane.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(ours.dc.get()), PRF_CLIENT);
  };
  const auto baseline = [&] { PlainPaint(plain.dc.get(), geometry, model, font.get()); };
  full();
  baseline();
  double fullMs = 0, plainMs = 0;
  constexpr int kBlocks = 5;
  const int perBlock = (repaints + kBlocks - 1) / kBlocks;
  // Alternating blocks, so that a change in the machine's load meets both alike.
  for (int block = 0; block < kBlocks; ++block) {
    fullMs += TimeIt(perBlock, full) / kBlocks;
    plainMs += TimeIt(perBlock, baseline) / kBlocks;
  }

  MoveWindow(pane.Handle(), 0, 0, kWidth, kScreenHeight, FALSE);
  const double screenMs = TimeIt(repaints, [&] {
    pane.Refresh();
    UpdateWindow(pane.Handle());
  });
  SaveShot(pane.Handle());
  std::int64_t cursor = 0;
  const double cursorMs = TimeIt(repaints, [&] {
    pane.SetCursorTime(cursor += 250);
    UpdateWindow(pane.Handle());
  });

  std::printf("%d entries, %zu plays over %lld s, %d x %d pixels, %d repaints\n", kEntries, plays,
              static_cast<long long>(kSpanMs / 1000), kWidth, fullHeight, perBlock * kBlocks);
  std::printf(
      "full repaint          timeline %8.3f ms   plain GDI %8.3f ms   ratio %5.2f   (goal <= 16 ms)\n",
      fullMs, plainMs, fullMs / plainMs);
  std::printf("screen repaint        timeline %8.3f ms   (%d x %d)\n", screenMs, kWidth, kScreenHeight);
  std::printf("cursor step           timeline %8.3f ms\n", cursorMs);
  return 0;
}
