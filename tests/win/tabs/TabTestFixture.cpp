#include "TabTestFixture.h"

namespace {

const WindowClass* ParentClass() { return RegisterWindowClass(L"Sonarwick_TestTabParent"); }
const WindowClass* PageClass() { return RegisterWindowClass(L"Sonarwick_TestTabPage"); }

constexpr UINT kForwardMessage = 0x037F;
constexpr int kViewId = 59648;

}  // namespace

std::vector<ParentRecord> TestParent::NotesWithCode(UINT code) const {
  std::vector<ParentRecord> found;
  for (const ParentRecord& note : notes) {
    if (note.code == code) found.push_back(note);
  }
  return found;
}

bool TestParent::HandleMessage(Message& m) {
  if (m.msg == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(m.lParam);
    ParentRecord record{header->code, static_cast<INT_PTR>(header->idFrom), header->hwndFrom, {}};
    if (header->code == TABVIEW_CONTEXTMENU)
      record.point = reinterpret_cast<const TabContextMenuInfo*>(m.lParam)->point;
    notes.push_back(record);
    m.result = 0;
    return true;
  }
  if (m.msg == WM_COMMAND) {
    otherMessages.push_back(m.msg);
    m.result = commandResult;
    return true;
  }
  return Window::HandleMessage(m);
}

bool TestPage::HandleMessage(Message& m) {
  if (m.msg == WM_NCDESTROY) ++destroyed;
  if (m.msg == kForwardMessage) {
    const auto* queued = reinterpret_cast<const MSG*>(m.lParam);
    m.result = queued->message == WM_KEYDOWN && queued->wParam == takesForwardedKey;
    return true;
  }
  return Window::HandleMessage(m);
}

TestParent* TabViewTest::sharedParent = nullptr;

void TabViewTest::SetUpTestSuite() {
  sharedParent = new TestParent;
  sharedParent->Create(ParentClass(), nullptr, RECT{40, 40, 840, 640}, L"Frame caption",
                       WS_OVERLAPPEDWINDOW | WS_VISIBLE);
}

void TabViewTest::TearDownTestSuite() {
  delete sharedParent;
  sharedParent = nullptr;
}

void TabViewTest::SetUp() {
  ASSERT_NE(parent.Handle(), nullptr);
  parent.notes.clear();
  parent.otherMessages.clear();
  RECT client{};
  GetClientRect(parent.Handle(), &client);
  ASSERT_NE(view.Create(TabView::Class(), parent.Handle(), client, nullptr,
                        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_CLIENTEDGE,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kViewId))),
            nullptr);
  windowMenu = CreatePopupMenu();
  AppendMenuW(windowMenu, MF_STRING, 0x8004, L"&Close\tCtrl+F4");
  AppendMenuW(windowMenu, MF_STRING, 0x8005, L"Close &All");
  view.AttachWindowMenu(windowMenu);
  BringToFront(parent.Handle());
}

void TabViewTest::TearDown() {
  if (GetCapture() != nullptr) ReleaseCapture();
  DestroyWindow(view.Handle());
  for (const auto& page : pages) EXPECT_EQ(page->destroyed, 1) << "every page window goes exactly once";
  DestroyMenu(windowMenu);
  PumpMessages();
}

TestPage& TabViewTest::MakePage() {
  auto& page = pages.emplace_back(std::make_unique<TestPage>());
  page->Create(PageClass(), view.Handle(), RECT{0, 0, 100, 100}, nullptr,
               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  return *page;
}

TestPage& TabViewTest::Add(const std::wstring& title) {
  TestPage& page = MakePage();
  EXPECT_TRUE(view.AddPage(page.Handle(), title.c_str(), -1, &page));
  return page;
}

void TabViewTest::AddPages(std::initializer_list<const wchar_t*> titles) {
  for (const wchar_t* title : titles) Add(title);
  PumpMessages();
}

std::vector<std::wstring> TabViewTest::Titles() const {
  std::vector<std::wstring> titles;
  for (int index = 0; index < view.GetPageCount(); ++index) titles.emplace_back(view.GetPageTitle(index));
  return titles;
}

std::wstring TabViewTest::TabText(int index) const {
  wchar_t text[64]{};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = 64;
  SendMessageW(view.GetTabStrip(), TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  return text;
}

std::vector<std::wstring> TabViewTest::MenuTexts() const {
  std::vector<std::wstring> texts;
  for (int position = 0; position < GetMenuItemCount(windowMenu); ++position) {
    wchar_t text[128]{};
    GetMenuStringW(windowMenu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
    texts.emplace_back(
        GetMenuState(windowMenu, static_cast<UINT>(position), MF_BYPOSITION) & MF_SEPARATOR ? L"-" : text);
  }
  return texts;
}

int TabViewTest::CheckedMenuPosition() const {
  int checked = -1;
  for (int position = 0; position < GetMenuItemCount(windowMenu); ++position) {
    if (GetMenuState(windowMenu, static_cast<UINT>(position), MF_BYPOSITION) & MF_CHECKED) {
      EXPECT_EQ(checked, -1) << "only one entry carries the mark";
      checked = position;
    }
  }
  return checked;
}

RECT TabViewTest::TabRect(int index) const {
  RECT rect{};
  TabCtrl_GetItemRect(view.GetTabStrip(), index, &rect);
  return rect;
}

POINT TabViewTest::TabCentre(int index) const {
  RECT rect = TabRect(index);
  return ClientToScreenPoint(view.GetTabStrip(), (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

int TabViewTest::VisiblePageCount() const {
  int visible = 0;
  for (const auto& page : pages) visible += IsWindow(page->Handle()) && IsWindowVisible(page->Handle());
  return visible;
}

int TabViewTest::PressWithPageKeys(std::initializer_list<WORD> keys) {
  int taken = 0;
  SetPumpFilter([&](const MSG& msg) {
    if (!view.TranslatePageKeys(&msg)) return false;
    ++taken;
    return true;
  });
  PressChord(keys);
  SetPumpFilter(nullptr);
  return taken;
}
