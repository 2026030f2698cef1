#include <algorithm>
#include <iterator>

#include "grid/PropertyGrid.h"

void PropertyGrid::SetRowMarks(std::vector<int> marks) {
  std::sort(marks.begin(), marks.end());
  marks.erase(std::unique(marks.begin(), marks.end()), marks.end());
  if (marks == rowMarks) return;
  std::vector<int> changed;
  std::set_symmetric_difference(marks.begin(), marks.end(), rowMarks.begin(), rowMarks.end(),
                                std::back_inserter(changed));
  rowMarks = std::move(marks);
  if (Handle() == nullptr) return;
  for (int row : changed) {
    if (row >= 0 && row < GetDataRowCount()) RepaintCell(row, 0);
  }
}

bool PropertyGrid::HasRowMark(int row) const { return std::binary_search(rowMarks.begin(), rowMarks.end(), row); }
