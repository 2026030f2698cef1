#include "tabs/PageIndexes.h"

int NextPageIndex(int activePage, int count, bool backwards) {
  if (backwards) return activePage <= 0 ? count - 1 : activePage - 1;
  return (activePage >= 0 && activePage < count - 1) ? activePage + 1 : 0;
}

int IndexAfterInsert(int index, int inserted) {
  if (index < 0) return index;
  return index >= inserted ? index + 1 : index;
}

int ActiveAfterRemoval(int removed, int activePage, int remaining) {
  if (removed == activePage) {
    if (removed > 0) return removed - 1;
    return remaining > 0 ? 0 : -1;
  }
  return activePage > removed ? activePage - 1 : activePage;
}

int MoveInsertIndex(int from, int to) { return to > from ? to + 1 : to; }

int MoveDeleteIndex(int from, int to) { return from > to ? from + 1 : from; }

int IndexAfterMove(int index, int from, int to) {
  if (index < 0) return index;
  if (index == from) return to;
  if (from < to && index > from && index <= to) return index - 1;
  if (to < from && index >= to && index < from) return index + 1;
  return index;
}
