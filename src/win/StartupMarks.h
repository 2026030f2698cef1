#pragma once

#include "win/IdleHandler.h"

// Marks along the start path, so that the start-up benchmark can say which piece of a start
// costs what. A mark is a name and a reading of the performance counter, kept in a fixed array
// (nothing is allocated, nothing is written while the program starts). When the program ends,
// and only when the environment names a file in SONARWICK_STARTUP_MARKS, the marks are written
// there, one "name<TAB>counter" line each after a first line with the counter's frequency.

// Notes that the start reached `piece`; `piece` must outlive the process (a literal). Marks after
// the array is full are dropped.
void MarkStartup(const wchar_t* piece);

// Writes the marks to the file the environment names, if any. False when one was named and
// could not be written.
bool WriteStartupMarks();

// The marks taken so far, for tests: their count and the name of mark `index`.
int StartupMarkCount();
const wchar_t* StartupMarkName(int index);

// Marks `piece` on the first idle pass of the loop it is registered with, and never again.
class FirstIdleMark : public IdleHandler {
 public:
  explicit FirstIdleMark(const wchar_t* piece) : piece_(piece) {}
  void DoIdle() override {
    if (marked_) return;
    marked_ = true;
    MarkStartup(piece_);
  }

 private:
  const wchar_t* piece_;
  bool marked_ = false;
};
