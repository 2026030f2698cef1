#pragma once

// The command-line forms of the editor that open no window, for a mod's build scripts:
//   sonarwick.exe --check LIST.bad... [--sound-folder DIR]
//   sonarwick.exe --render-ambience LIST.bad --time dawn|day|sunset|night --out OUT.wav
//                 [--seconds N] [--seed N] [--volume-scale percent|centibels|byte] [--sound-folder DIR]
//   sonarwick.exe --usages SOUND GAME_FOLDER [--sound-folder DIR]
//   sonarwick.exe --unused-sounds GAME_FOLDER [--missing] [--sound-folder DIR]
// Any other command line names files for the editor to open. On every form, "--" ends the
// options: what follows it is a file, so a file whose name starts with "--" can still be named
// (as can ".\--name"). Parsing is portable; what the arguments are refused for is worded by the
// Windows side.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ambience/VolumeScale.h"
#include "format/TimeOfDay.h"

enum class ToolMode {
  None,  // not a tool's command line: the editor starts
  Check,
  RenderAmbience,
  Usages,        // `lists` holds the sound, then the game folder
  UnusedSounds,  // `lists` holds the game folder
};

enum class ToolArgumentError {
  None,
  UnknownOption,   // `argument` is no option of this form (of the editor's, when mode is None)
  MissingValue,    // `argument` is an option given without its value
  RepeatedOption,  // `argument` is an option given a second time
  BadTime,         // `argument` names no time of day
  BadSeconds,      // `argument` is not a length from 1 to MaxRenderSeconds
  BadSeed,         // `argument` is not a whole number from 0 to 2^64 - 1
  BadVolumeScale,  // `argument` names no volume scale
  NoList,          // no list was named
  OneListOnly,     // a render names more than one list; `argument` is the second
  NoTime,          // a render without --time
  NoOutput,        // a render without --out
  NoSound,         // --usages without the sound
  NoGame,          // a game tool without its game folder
  ExtraArgument,   // `argument` is one more than the game tool takes
};

// An hour of 16-bit stereo at 44.1 kHz is 635 MB, well within what a WAV file can hold.
inline constexpr int MaxRenderSeconds = 3600;

struct ToolOptions {
  ToolMode mode = ToolMode::None;
  // The lists a tool works on; for the editor (mode None), the files it opens.
  std::vector<std::wstring> lists;
  std::optional<std::wstring> soundFolder;
  TimeOfDay time = TimeOfDay::Dawn;
  int seconds = 60;
  std::uint64_t seed = 1;
  // Guessed from the list's values when not given.
  std::optional<VolumeScale> volumeScale;
  std::wstring out;
  // --unused-sounds also lists the names that no file has.
  bool missing = false;

  ToolArgumentError error = ToolArgumentError::None;
  std::wstring argument;
};

// `arguments` are the command line's after the program's own name. A command line that does
// not begin with one of the tools' names is the editor's: mode None, its files in `lists`, and
// an error for any other argument that looks like an option.
ToolOptions ParseToolOptions(const std::vector<std::wstring>& arguments);
