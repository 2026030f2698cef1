#pragma once

#include <windows.h>

#include <string>

// The tooltip of a grid that shows a cell's whole text while the pointer rests on a cell too
// narrow for it. The grid tells it which cell is under the pointer and answers its request
// for text; a cell whose text fits gets an empty text, and so no tip.
class CellToolTip {
 public:
  CellToolTip() = default;
  ~CellToolTip();
  CellToolTip(const CellToolTip&) = delete;
  CellToolTip& operator=(const CellToolTip&) = delete;

  // One tool covering the whole grid; the grid hands it its mouse messages (Relay).
  void Create(HWND grid);
  void Destroy();
  HWND Handle() const { return tip_; }

  // The pointer is over cell (row, col) now (-1 for none); a tip shown for another cell goes.
  void Track(int row, int col);
  int Row() const { return row_; }
  int Col() const { return col_; }

  // A mouse message of the grid's, for the tooltip to time its showing and hiding.
  void Relay(HWND grid, UINT msg, WPARAM wParam, LPARAM lParam);

  // Answers the tooltip's TTN_GETDISPINFOW with `text` (kept until the next answer).
  void SupplyText(NMHDR* header, std::wstring text);

 private:
  HWND tip_ = nullptr;
  int row_ = -1;
  int col_ = -1;
  std::wstring text_;
};

// Whether `text` drawn with `font` fits a cell `cellWidth` pixels wide.
bool CellTextFits(HWND grid, HFONT font, const std::wstring& text, int cellWidth);
