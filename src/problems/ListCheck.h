#pragma once

// Checking lists that are not open in the editor, for the command line that a mod's build
// scripts run: every sound is probed before the answer, since a script waits for it anyway.
// Reading the list file and printing stay with the caller, which knows the system's paths,
// code page and error texts.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "format/AmbientFile.h"
#include "problems/Problem.h"
#include "problems/ProbeFileSystem.h"

struct ListCheck {
  // None when the list was read; otherwise it could not be, and `problems` is empty.
  AmbientLoadError loadError = AmbientLoadError::None;
  std::vector<Problem> problems;
  // The folder the sound names were looked up in; empty when none was found, and then no
  // sound rule ran.
  std::wstring soundFolder;
};

// Checks the list whose file starts with `bytes` (at least AmbientFileMaxBytes of it, or all).
// `soundFolder` is the folder given by the user; when empty it is found as the editor finds
// it, from `listFolder` up. Volumes read in the scale the list's own volumes suggest.
ListCheck CheckListFile(std::span<const std::byte> bytes, const std::wstring& listFolder,
                        const std::wstring& soundFolder, const CodePageConverter& converter,
                        const ProbeFileSystem& files);

// What the command line exits with: 2 when a list could not be read (that outweighs the
// problems of the others, since the answer is incomplete), 1 when a list has problems,
// warnings included, 0 when none has.
int CheckExitCode(std::span<const ListCheck> lists);
