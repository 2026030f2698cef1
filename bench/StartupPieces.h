#pragma once

// The pieces of the editor's start, read from the marks it writes when it ends if the
// environment names a file for them (SONARWICK_STARTUP_MARKS). Programs that write no marks
// (the baselines) simply leave the file untouched.

#include <map>
#include <string>
#include <vector>

class StartupPieces {
 public:
  // Names the marks file in this process's environment, which started programs inherit.
  StartupPieces();
  ~StartupPieces();
  StartupPieces(const StartupPieces&) = delete;
  StartupPieces& operator=(const StartupPieces&) = delete;

  // Reads the marks the program started at `launchMs` (on the performance counter, in ms) wrote
  // when it ended, and adds each piece's length (from the previous mark, or from the launch) to
  // the series; false when there were none. The file is removed for the next start. Pieces of
  // starts that differ (with a file and without) are told apart by `group`.
  bool Collect(double launchMs, const std::wstring& group = {});
  // Forgets the pieces collected so far (those of the warm-up starts).
  void Clear();
  // Prints each piece's median and least length, and the median time since launch at its end.
  void Print(const wchar_t* title) const;

 private:
  std::wstring path_;
  std::vector<std::wstring> order_;
  std::map<std::wstring, std::vector<double>> lengths_, ends_;
};
