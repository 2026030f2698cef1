#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "WinTestSupport.h"
#include "editor/AmbientView.h"
#include "format/Win32CodePageConverter.h"
#include "win/Reflection.h"

// What the screen shows of a document after each command equals a whole new paint.

namespace {

class ReflectingParent : public Window {
 protected:
  bool HandleMessage(Message& m) override {
    if (ReflectNotification(m)) return true;
    return Window::HandleMessage(m);
  }
};

std::vector<std::wstring> Names(const AmbientView& view) {
  std::vector<std::wstring> names;
  for (int row = 0; row < view.GetEntryCount(); ++row)
    names.push_back(view.GetEntry(row).values.audioFile.value_or(L""));
  return names;
}

class ViewPaint : public testing::Test {
 protected:
  void SetUp() override {
    parent.Create(RegisterWindowClass(L"Sonarwick_ViewPaintParent"), nullptr, RECT{0, 0, 1000, 600}, L"view",
                  WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    RECT client;
    GetClientRect(parent.Handle(), &client);
    ASSERT_NE(view.Create(parent.Handle(), client, 0, 0, 100), nullptr);
    BringToFront(view.Handle());
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    copy = std::wstring(temp) + L"sonarwick-view-paint-" + std::to_wstring(GetCurrentProcessId()) + L".bad";
    WriteFileBytes(copy, ReadFileBytes(L"" SONARWICK_SAMPLES_DIR L"/hundred-entries.bad"));
  }
  void TearDown() override {
    DestroyWindow(parent.Handle());
    DeleteFileW(copy.c_str());
  }

  ReflectingParent parent;
  AmbientView view;
  std::wstring copy;
};

// Every entry command, at the top, in the middle and at the end of a scrolled list, on one
// entry, a block and entries apart, with and without an editor open: the screen then shows
// what a whole new paint shows. At the end of the list a change of the row count scrolls it.
TEST_F(ViewPaint, CommandsAnywhereInAScrolledListShowWhatAWholePaintShows) {
  ASSERT_TRUE(view.Load(copy.c_str()));
  // Room for the commands that add entries.
  view.SelectRows(0, 5, 0, 1);
  view.DeleteEntry();
  const int rowHeight = view.GetCellRect(1, 0).top - view.GetCellRect(0, 0).top;
  const std::vector<DocumentEntry> copied{view.GetEntry(7), view.GetEntry(8)};
  std::vector<int> chosen;
  const char* where = "";
  const char* selection = "";
  const auto check = [&](const char* step) {
    UpdateWindow(view.Handle());
    const std::vector<DWORD> shown = ClientPixels(view.Handle());
    RedrawWindow(view.Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(shown == ClientPixels(view.Handle())) << step << " at the " << where << ", " << selection;
  };
  // Each command comes with the screen painted and the same entries selected, as a key does.
  const auto run = [&](const char* step, const std::function<void()>& command) {
    view.SelectRowSet(chosen, chosen.back(), 1);
    UpdateWindow(view.Handle());
    command();
    PumpMessages();
    check(step);
  };
  const auto scrollTo = [&](int top) {
    SendMessageW(view.Handle(), LVM_ENSUREVISIBLE, 0, FALSE);
    SendMessageW(view.Handle(), LVM_SCROLL, 0, top * rowHeight);
    UpdateWindow(view.Handle());
  };
  const auto fillVolume = [&] {
    ASSERT_TRUE(view.OpenEditor(view.GetCellItem(chosen.back(), 5), chosen.back(), 5));
    SendMessageW(view.GetEditor(), EM_SETSEL, 0, -1);
    TypeText(L"7");
    PressChord({VK_CONTROL, VK_RETURN});
  };
  const auto typeAndThen = [&](const std::function<void()>& command) {
    return [&view = view, command] {
      view.OpenEditor(view.GetCellItem(view.GetSelectedRow(), 2), view.GetSelectedRow(), 2);
      SendMessageW(view.GetEditor(), EM_SETSEL, 0, -1);
      TypeText(L"12");
      command();
    };
  };
  struct Place {
    const char* name;
    int top;
    int cursor;
  };
  const int count = view.GetEntryCount();
  const Place places[] = {{"top", 0, 4}, {"middle", 40, 50}, {"end", count, count - 3}};
  for (const Place& place : places) {
    where = place.name;
    const std::vector<int> selections[] = {{place.cursor},
                                           {place.cursor - 2, place.cursor - 1, place.cursor},
                                           {place.cursor - 4, place.cursor - 2, place.cursor}};
    const char* kinds[] = {"one entry", "a block", "entries apart"};
    for (int kind = 0; kind < 3; ++kind) {
      chosen = selections[kind];
      selection = kinds[kind];
      scrollTo(place.top);
      run("delete", [&] { view.DeleteEntry(); });
      run("undo of a delete", [&] { view.Undo(); });
      run("redo of a delete", [&] { view.Redo(); });
      run("undo again", [&] { view.Undo(); });
      run("duplicate", [&] { view.DuplicateEntry(); });
      run("undo of a duplicate", [&] { view.Undo(); });
      run("paste", [&] { view.PasteEntries(copied); });
      run("undo of a paste", [&] { view.Undo(); });
      run("move up", [&] { view.MoveEntry(-1); });
      run("move down", [&] { view.MoveEntry(+1); });
      run("insert", [&] { view.InsertEntry(); });
      run("undo of an insert", [&] { view.Undo(); });
      run("fill", fillVolume);
      run("undo of a fill", [&] { view.Undo(); });
      run("delete with an edit open", typeAndThen([&] { view.DeleteEntry(); }));
      run("undo of the delete", [&] { view.Undo(); });
      run("undo of the edit", [&] { view.Undo(); });
      run("duplicate with an edit open", typeAndThen([&] { view.DuplicateEntry(); }));
      run("undo of the duplicate", [&] { view.Undo(); });
      run("undo of the edit", [&] { view.Undo(); });
    }
  }
  // Names replaced and read in another code page, with the list at its end.
  chosen = {count - 3};
  selection = "names";
  std::vector<std::wstring> renamed = Names(view);
  for (size_t index = 0; index < renamed.size(); index += 3) renamed[index] = L"renamed\\" + renamed[index];
  run("replace all", [&] { EXPECT_EQ(view.ReplaceNames(renamed), L""); });
  const Win32CodePageConverter other(GetACP() == 1252 ? 1251 : 1252);
  run("code page switch", [&] { view.RereadNames(ProcessCodePageConverter(), other); });
}

// A feature may change the document without the grid: the rows show each change as the
// document tells it, and the screen equals a whole new paint.
TEST_F(ViewPaint, ChangesMadeToTheDocumentItselfShowInTheRows) {
  ASSERT_TRUE(view.Load(copy.c_str()));
  AmbientDocument& document = view.Document();
  const auto rowsShow = [&](const char* step) {
    PumpMessages();
    ASSERT_EQ(view.GetDataRowCount(), document.Count()) << step;
    for (int row = 0; row < document.Count(); ++row) {
      EXPECT_EQ(view.CellText(row, 1), document.At(row).values.audioFile.value_or(L"")) << step << " " << row;
      EXPECT_EQ(view.CellText(row, 5), std::to_wstring(document.At(row).values.volume)) << step << " " << row;
    }
    UpdateWindow(view.Handle());
    const std::vector<DWORD> shown = ClientPixels(view.Handle());
    RedrawWindow(view.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(shown == ClientPixels(view.Handle())) << step;
  };
  document.Delete({{3, 10, 11}, 3});
  rowsShow("delete");
  document.Move({{0, 2}, 0}, 1);
  rowsShow("move");
  AmbientEntryValues values;
  values.audioFile = L"filled.wav";
  values.volume = 42;
  document.Fill({4, 5, 6}, EntryField::Volume, values);
  rowsShow("fill");
  document.EditCell(0, EntryField::AudioFile, values);
  rowsShow("edit");
  document.Undo();
  document.Undo();
  rowsShow("undo");
  document.Paste({{}, document.Count()}, {view.GetEntry(1)});
  rowsShow("paste at the end");
  document.RereadNames(ProcessCodePageConverter(), ProcessCodePageConverter());
  rowsShow("names read again");
}

}  // namespace
