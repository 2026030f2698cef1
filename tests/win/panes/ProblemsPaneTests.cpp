#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "WinTestSupport.h"
#include "resources/ResourceIds.h"
#include "panes/ProblemsPane.h"
#include "panes/ProblemsPaneMessages.h"
#include "problems/ProblemRules.h"
#include "win/Dpi.h"

namespace {

constexpr UINT kPaneId = 0x4A1;
constexpr UINT_PTR kBirds = 0xB1, kNight = 0xB2;

struct Notice {
  int code;
  UINT_PTR idFrom;
  UINT_PTR document;
  int entry;
  ProblemColumn column;
  QuickFixKind fix;
};

// The frame's stand-in: keeps what the pane tells it.
class NoticeParent : public Window {
 public:
  std::vector<Notice> notices;

 protected:
  bool HandleMessage(Message& m) override {
    if (m.msg != WM_NOTIFY) return Window::HandleMessage(m);
    const auto& notice = *reinterpret_cast<const NMPROBLEM*>(m.lParam);
    const int code = static_cast<int>(notice.hdr.code);
    if (code == PROBLEMSN_GOTO || code == PROBLEMSN_QUICKFIX) {
      notices.push_back({code, notice.hdr.idFrom, notice.document, notice.entry, notice.column, notice.fix});
    }
    m.result = 0;
    return true;
  }
};

std::wstring ResourceText(UINT id) {
  wchar_t text[256] = {};
  LoadStringW(GetModuleHandleW(nullptr), id, text, 256);
  return text;
}

ProblemLanguage Language() {
  return ResourceText(STR_INTERFACE_LANGUAGE) == L"ru" ? ProblemLanguage::Russian : ProblemLanguage::English;
}

PaneProblem Planted(UINT_PTR document, const wchar_t* title, int entry, ProblemColumn column, std::string_view rule,
                    ProblemSeverity severity, QuickFixKind fix = QuickFixKind::None) {
  PaneProblem row{document, title, {}, fix};
  row.problem.severity = severity;
  row.problem.entry = entry;
  row.problem.column = column;
  row.problem.ruleId = rule;
  row.problem.facts.value = 500;
  row.problem.facts.low = 2000;
  row.problem.facts.high = 100;
  row.problem.facts.otherEntry = 0;
  row.problem.facts.path = L"C:\\game\\sounds\\owl.ogg";
  return row;
}

// Two documents' problems, in the order the frame keeps them: by document, then entry.
std::vector<PaneProblem> PlantedProblems() {
  using C = ProblemColumn;
  const auto E = ProblemSeverity::Error, W = ProblemSeverity::Warning;
  return {Planted(kBirds, L"birds.bad", 0, C::Volume, kRuleVolumeOutOfScale, W),
          Planted(kBirds, L"birds.bad", 2, C::MaxRepeat, kRuleMaxBelowMin, E, QuickFixKind::SwapRepeats),
          Planted(kBirds, L"birds.bad", 5, C::Name, kRuleSoundMissing, E, QuickFixKind::PickFile),
          Planted(kNight, L"night.bad", 1, C::Name, kRuleNameOutsideFolder, E, QuickFixKind::DropDriveLetter),
          Planted(kNight, L"night.bad", 3, C::Name, kRuleSoundTwice, W)};
}

class ProblemsPaneTest : public testing::Test {
 protected:
  void SetUp() override {
    parent_.Create(RegisterWindowClass(L"Sonarwick_TestProblemsParent"), nullptr, RECT{30, 30, 930, 330},
                   L"Problems", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    RECT client{};
    GetClientRect(parent_.Handle(), &client);
    ASSERT_TRUE(pane_.Create(parent_.Handle(), client, kPaneId));
    ShowWindow(pane_.Handle(), SW_SHOW);
    BringToFront(parent_.Handle());
    SetFocus(pane_.Handle());
    PumpMessages();
  }

  HWND List() const { return pane_.ListHandle(); }
  int Rows() const { return ListView_GetItemCount(List()); }

  std::wstring Text(int row, ProblemsPaneColumn column) const {
    wchar_t text[512] = {};
    ListView_GetItemText(List(), row, static_cast<int>(column), text, 512);
    return text;
  }
  std::wstring Entries() const {
    std::wstring entries;
    for (int row = 0; row < Rows(); ++row) entries += Text(row, ProblemsPaneColumn::Entry);
    return entries;
  }
  std::vector<int> Selected() const {
    std::vector<int> rows;
    for (int row = ListView_GetNextItem(List(), -1, LVNI_SELECTED); row != -1;
         row = ListView_GetNextItem(List(), row, LVNI_SELECTED)) {
      rows.push_back(row);
    }
    return rows;
  }
  int SortArrow(ProblemsPaneColumn column) const {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    Header_GetItem(ListView_GetHeader(List()), static_cast<int>(column), &item);
    return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
  }
  void ClickHeader(ProblemsPaneColumn column) {
    HWND header = ListView_GetHeader(List());
    RECT rect{};
    Header_GetItemRect(header, static_cast<int>(column), &rect);
    // Clicks in quick succession land apart, so that they stay two clicks, not a double-click.
    // Clear of the dividers, whose clicks resize a column rather than sort by it.
    const int margin = (rect.right - rect.left) / 4;
    const int x = headerClicks_++ % 2 == 0 ? rect.left + margin : rect.right - margin;
    ClickAt(ClientToScreenPoint(header, x, (rect.top + rect.bottom) / 2));
  }
  POINT RowPoint(int row) const {
    RECT rect{};
    ListView_GetItemRect(List(), row, &rect, LVIR_LABEL);
    return ClientToScreenPoint(List(), rect.left + 4, (rect.top + rect.bottom) / 2);
  }
  void Focus(int row) {
    ListView_SetItemState(List(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemState(List(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SetFocus(List());
    PumpMessages();
  }

  NoticeParent parent_;
  ProblemsPane pane_;
  int headerClicks_ = 0;
};

// The texts of a popup menu's items, separators as "-".
std::vector<std::wstring> MenuTexts(HMENU menu) {
  std::vector<std::wstring> texts;
  for (int index = 0; index < GetMenuItemCount(menu); ++index) {
    wchar_t text[128] = {};
    const bool separator = (GetMenuState(menu, static_cast<UINT>(index), MF_BYPOSITION) & MF_SEPARATOR) != 0;
    GetMenuStringW(menu, static_cast<UINT>(index), text, 128, MF_BYPOSITION);
    texts.push_back(separator ? L"-" : text);
  }
  return texts;
}

// A right-click whose button goes down and up in one input: the list view follows a pressed
// right button in a loop of its own, which would wait for ever behind a pump between the two.
void RightClickAt(POINT screen) {
  MoveMouseTo(screen);
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
  SendInput(2, inputs, sizeof(INPUT));
  PumpMessages();
}

}  // namespace

TEST_F(ProblemsPaneTest, ShowsEveryProblemInTheInterfaceLanguageAndSortsByAClickedHeader) {
  const std::vector<PaneProblem> planted = PlantedProblems();
  EXPECT_TRUE(pane_.SetProblems(planted));
  ASSERT_EQ(Rows(), 5);
  EXPECT_EQ(Entries(), L"02513");  // the frame's order until a header is clicked
  EXPECT_EQ(Text(3, ProblemsPaneColumn::Document), L"night.bad");
  EXPECT_EQ(Text(1, ProblemsPaneColumn::Column), ColumnCaption(ProblemColumn::MaxRepeat, Language()));
  EXPECT_EQ(Text(1, ProblemsPaneColumn::Description), DescribeProblem(planted[1].problem, Language()));
  EXPECT_EQ(Text(0, ProblemsPaneColumn::Severity), L"");  // its icon says it
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = 0;
  ListView_GetItem(List(), &item);
  EXPECT_EQ(item.iImage, 1);  // the warning's icon
  EXPECT_EQ(ImageList_GetImageCount(ListView_GetImageList(List(), LVSIL_SMALL)), 2);

  Focus(2);  // the missing sound keeps its focus through the sorts
  ClickHeader(ProblemsPaneColumn::Entry);
  EXPECT_EQ(Entries(), L"01235");
  EXPECT_EQ(SortArrow(ProblemsPaneColumn::Entry), HDF_SORTUP);
  ClickHeader(ProblemsPaneColumn::Entry);
  EXPECT_EQ(Entries(), L"53210");
  EXPECT_EQ(SortArrow(ProblemsPaneColumn::Entry), HDF_SORTDOWN);
  EXPECT_EQ(ListView_GetNextItem(List(), -1, LVNI_FOCUSED), 0);
  ClickHeader(ProblemsPaneColumn::Severity);  // errors first; ties keep the frame's order
  EXPECT_EQ(Entries(), L"25103");
  EXPECT_EQ(SortArrow(ProblemsPaneColumn::Severity), HDF_SORTUP);
  EXPECT_EQ(SortArrow(ProblemsPaneColumn::Entry), 0);
  ClickHeader(ProblemsPaneColumn::Document);
  ClickHeader(ProblemsPaneColumn::Document);
  EXPECT_EQ(Entries(), L"13025");
  EXPECT_EQ(Text(ListView_GetNextItem(List(), -1, LVNI_FOCUSED), ProblemsPaneColumn::Entry), L"5");
}

TEST_F(ProblemsPaneTest, EnterAndADoubleClickAskTheParentToGoToTheProblem) {
  pane_.SetProblems(PlantedProblems());
  Focus(3);
  PressKey(VK_RETURN);
  ASSERT_EQ(parent_.notices.size(), 1u);
  const Notice enter = parent_.notices[0];
  EXPECT_EQ(enter.code, PROBLEMSN_GOTO);
  EXPECT_EQ(enter.idFrom, kPaneId);
  EXPECT_EQ(enter.document, kNight);
  EXPECT_EQ(enter.entry, 1);
  EXPECT_EQ(enter.column, ProblemColumn::Name);

  DoubleClickAt(RowPoint(1));
  ASSERT_EQ(parent_.notices.size(), 2u);
  EXPECT_EQ(parent_.notices[1].code, PROBLEMSN_GOTO);
  EXPECT_EQ(parent_.notices[1].document, kBirds);
  EXPECT_EQ(parent_.notices[1].entry, 2);
  EXPECT_EQ(parent_.notices[1].column, ProblemColumn::MaxRepeat);
}

TEST_F(ProblemsPaneTest, CtrlAAndCtrlCCopyTheSelectedProblemsAsTabSeparatedLines) {
  const std::vector<PaneProblem> planted = PlantedProblems();
  pane_.SetProblems(planted);
  Focus(0);
  PressChord({VK_CONTROL, 'A'});
  EXPECT_EQ(Selected().size(), 5u);
  PressChord({VK_CONTROL, 'C'});
  std::wstring expected;
  for (const PaneProblem& row : planted) {
    std::wstring line = FormatProblemLines(row.documentTitle, std::span(&row.problem, 1), Language());
    expected += line.substr(0, line.size() - 1) + L"\r\n";
  }
  ASSERT_TRUE(OpenClipboard(parent_.Handle()));
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const std::wstring copied = data != nullptr ? static_cast<const wchar_t*>(GlobalLock(data)) : L"";
  if (data != nullptr) GlobalUnlock(data);
  CloseClipboard();
  EXPECT_EQ(copied, expected);
  EXPECT_NE(copied.find(L"night.bad\t1\t"), std::wstring::npos);
  EXPECT_NE(copied.find(L"\tBAD006\t"), std::wstring::npos);
}

TEST_F(ProblemsPaneTest, AnUpdateKeepsTheUsersPlaceAndOneThatChangesNothingDrawsNothing) {
  std::vector<PaneProblem> planted = PlantedProblems();
  pane_.SetProblems(planted);
  Focus(3);
  UpdateWindow(List());
  ValidateRect(List(), nullptr);
  EXPECT_FALSE(pane_.SetProblems(planted));
  RECT update{};
  EXPECT_FALSE(GetUpdateRect(List(), &update, FALSE));

  // A problem above the selected one is fixed, and one sentence changes: the selection follows.
  planted.erase(planted.begin() + 1);
  planted[2].problem.facts.path = L"D:\\owl.ogg";
  EXPECT_TRUE(pane_.SetProblems(planted));
  EXPECT_EQ(Selected(), std::vector<int>{2});
  EXPECT_EQ(ListView_GetNextItem(List(), -1, LVNI_FOCUSED), 2);
  EXPECT_EQ(Text(2, ProblemsPaneColumn::Description), DescribeProblem(planted[2].problem, Language()));

  // Scrolled down a long list, an update leaves the same problem at the top.
  std::vector<PaneProblem> many;
  for (int entry = 0; entry < 100; ++entry)
    many.push_back(Planted(kBirds, L"birds.bad", entry, ProblemColumn::Volume, kRuleVolumeOutOfScale,
                           ProblemSeverity::Warning));
  pane_.SetProblems(many);
  ListView_EnsureVisible(List(), 99, FALSE);
  const int top = ListView_GetTopIndex(List());
  ASSERT_GT(top, 50);
  many.erase(many.begin());
  pane_.SetProblems(many);
  EXPECT_EQ(ListView_GetTopIndex(List()), top - 1);
}

TEST_F(ProblemsPaneTest, TheContextMenuAndCtrlDotOfferTheFocusedProblemsQuickFix) {
  pane_.SetProblems(PlantedProblems());
  Focus(1);  // maximum below minimum
  const std::wstring goTo = ResourceText(STR_PROBLEMS_GOTO), copy = ResourceText(STR_PROBLEMS_COPY);
  const std::vector<std::wstring> withSwap = {goTo, copy, L"-", ResourceText(STR_FIX_SWAP_REPEATS)};
  EXPECT_EQ(MenuTexts(pane_.BuildContextMenu().get()), withSwap);
  // The menu keys open it at the focused row; closed without a choice, it asks for nothing.
  std::vector<std::vector<std::wstring>> shown;
  POINT shownAt{};
  pane_.SetMenuTracker([&](HMENU menu, POINT screen) {
    shown.push_back(MenuTexts(menu));
    shownAt = screen;
    return 0u;
  });
  PressChord({VK_SHIFT, VK_F10});
  PressKey(VK_APPS);
  EXPECT_EQ(shown, (std::vector<std::vector<std::wstring>>{withSwap, withSwap}));
  RECT focused{};
  ListView_GetItemRect(List(), 1, &focused, LVIR_LABEL);
  EXPECT_EQ(shownAt.y, ClientToScreenPoint(List(), 0, focused.bottom).y);
  EXPECT_TRUE(parent_.notices.empty());

  // Chosen from the menu, the fix is asked for; so it is by Ctrl+.
  pane_.SetMenuTracker([](HMENU menu, POINT) { return GetMenuItemID(menu, 3); });
  PressKey(VK_APPS);
  PressChord({VK_CONTROL, VK_OEM_PERIOD});
  ASSERT_EQ(parent_.notices.size(), 2u);
  EXPECT_EQ(parent_.notices[1].fix, QuickFixKind::SwapRepeats);
  EXPECT_EQ(parent_.notices[0].code, PROBLEMSN_QUICKFIX);
  EXPECT_EQ(parent_.notices[0].fix, QuickFixKind::SwapRepeats);
  EXPECT_EQ(parent_.notices[0].entry, 2);
  EXPECT_EQ(parent_.notices[0].column, ProblemColumn::MaxRepeat);

  Focus(0);  // a volume out of scale has no certain fix
  EXPECT_EQ(MenuTexts(pane_.BuildContextMenu().get()), (std::vector<std::wstring>{goTo, copy}));
  // Ctrl+. asks all the same, with no fix, so that the parent can say there is none.
  PressChord({VK_CONTROL, VK_OEM_PERIOD});
  ASSERT_EQ(parent_.notices.size(), 3u);
  EXPECT_EQ(parent_.notices[2].code, PROBLEMSN_QUICKFIX);
  EXPECT_EQ(parent_.notices[2].fix, QuickFixKind::None);
  Focus(3);
  EXPECT_EQ(MenuTexts(pane_.BuildContextMenu().get()).back(), ResourceText(STR_FIX_DROP_DRIVE_LETTER));
  // A right-click focuses its row and opens the menu where it was clicked.
  pane_.SetMenuTracker([&](HMENU menu, POINT screen) {
    shown.push_back(MenuTexts(menu));
    shownAt = screen;
    return 0u;
  });
  RightClickAt(RowPoint(2));
  EXPECT_EQ(shown.back().back(), ResourceText(STR_FIX_PICK_FILE));
  EXPECT_EQ(shownAt.x, RowPoint(2).x);
  EXPECT_EQ(shownAt.y, RowPoint(2).y);
}

TEST_F(ProblemsPaneTest, FollowsTheDisplayScaleWithTheSystemsIconsAndWiderColumns) {
  pane_.SetProblems(PlantedProblems());
  const int documentWidth = ListView_GetColumnWidth(List(), static_cast<int>(ProblemsPaneColumn::Document));
  const UINT dpi = WindowDpi(pane_.Handle());
  // Twice as wide, as the window is at twice the scale: no column needs to give way.
  RECT client{};
  GetClientRect(pane_.Handle(), &client);
  SetWindowPos(pane_.Handle(), nullptr, 0, 0, client.right * 2, client.bottom * 2, SWP_NOZORDER | SWP_NOMOVE);
  pane_.SetDpi(dpi * 2);
  int width = 0, height = 0;
  ImageList_GetIconSize(ListView_GetImageList(List(), LVSIL_SMALL), &width, &height);
  EXPECT_EQ(width, SystemMetricForDpi(SM_CXSMICON, dpi * 2));
  EXPECT_EQ(ImageList_GetImageCount(ListView_GetImageList(List(), LVSIL_SMALL)), 2);
  EXPECT_EQ(ListView_GetColumnWidth(List(), static_cast<int>(ProblemsPaneColumn::Document)),
            documentWidth * 2);
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(List(), WM_GETFONT, 0, 0)), sizeof(font), &font);
  LOGFONTW base{};
  GetObjectW(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), sizeof(base), &base);
  EXPECT_GT(std::abs(font.lfHeight), std::abs(base.lfHeight));
  pane_.SetDpi(dpi);
  SetWindowPos(pane_.Handle(), nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER | SWP_NOMOVE);
  EXPECT_EQ(ListView_GetColumnWidth(List(), static_cast<int>(ProblemsPaneColumn::Document)), documentWidth);
}

// A pane as narrow as beside the timeline, at its scale and at twice it: the sentences keep at
// least half the list with their caption whole, the other columns give way, and a sentence
// the column cuts shows whole in a tip while the pointer rests on it.
TEST_F(ProblemsPaneTest, ANarrowPaneKeepsTheSentencesReadableAndTipsThoseItCuts) {
  pane_.SetProblems(PlantedProblems());
  const UINT dpi = WindowDpi(pane_.Handle());
  const auto sentence = static_cast<int>(ProblemsPaneColumn::Description);
  HWND header = ListView_GetHeader(List());
  for (const UINT scale : {dpi, dpi * 2}) {
    pane_.SetDpi(scale);
    SetWindowPos(pane_.Handle(), nullptr, 0, 0, ScaleForDpi(330, scale), ScaleForDpi(150, scale),
                 SWP_NOZORDER | SWP_NOMOVE);
    PumpMessages();
    RECT list{};
    GetClientRect(List(), &list);
    int total = 0;
    for (int column = 0; column < static_cast<int>(ProblemsPaneColumn::Count); ++column)
      total += ListView_GetColumnWidth(List(), column);
    EXPECT_LE(total, list.right) << scale;  // nothing to scroll sideways for
    EXPECT_GE(ListView_GetColumnWidth(List(), sentence) * 2, list.right) << scale;
    // The caption, measured in the header's own font, fits between the header's margins.
    EXPECT_TRUE(HeaderCaptionFits(header, sentence, ListView_GetColumnWidth(List(), sentence))) << scale;
  }
  pane_.SetDpi(dpi);
  SetWindowPos(pane_.Handle(), nullptr, 0, 0, 330, 150, SWP_NOZORDER | SWP_NOMOVE);
  PumpMessages();

  const auto visibleTip = [] {
    HWND tip = nullptr;
    while ((tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) != nullptr)
      if (IsWindowVisible(tip)) return tip;
    return tip;
  };
  const auto restOn = [&](int row) {
    RECT cell{};
    ListView_GetSubItemRect(List(), row, sentence, LVIR_BOUNDS, &cell);
    const int y = (cell.top + cell.bottom) / 2;
    MoveMouseTo(ClientToScreenPoint(List(), cell.left + 4, y));
    MoveMouseTo(ClientToScreenPoint(List(), cell.left + 6, y));
  };
  // Every planted sentence is longer than 165 pixels of text: the column cuts it.
  restOn(1);
  ASSERT_TRUE(PumpUntil([&] { return visibleTip() != nullptr; }, 5000));
  EXPECT_EQ(WindowText(visibleTip()), Text(1, ProblemsPaneColumn::Description));
  // Wide enough for every sentence: no tip.
  SetWindowPos(pane_.Handle(), nullptr, 0, 0, 3000, 150, SWP_NOZORDER | SWP_NOMOVE);
  MoveMouseTo(ClientToScreenPoint(List(), 1, 1));
  PumpMessages();
  restOn(2);
  PumpUntil([] { return false; }, 1500);
  EXPECT_EQ(visibleTip(), nullptr);
}
