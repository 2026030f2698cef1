#pragma once

// One mistake in a list that the game would trip over, as facts: where it is, which rule found
// it, and the values its sentence names. Words come later (ProblemText.h), in the interface
// language, so the same facts serve the problems list and the command line.

#include <cstdint>
#include <string>
#include <string_view>

#include "sound/SoundDecoder.h"

enum class ProblemSeverity {
  Error,    // the game cannot play the entry as written
  Warning,  // it plays, but most likely not as meant
};

// The grid's columns a problem can point at, in the grid's order.
enum class ProblemColumn { Name, MinRepeat, MaxRepeat, TimeOfDay, Volume };

// Why a sound file that exists gives no sound.
enum class SoundFault {
  None,
  Unreadable,  // the file could not be read (locked, no permission, gone while reading)
  Refused,     // the decoder refused its bytes; `refusal` says why
};

// The values a sentence names; each rule fills only what it needs.
struct ProblemFacts {
  std::int64_t value = 0;  // the offending number: a repeat time, a volume, a time-of-day byte
  std::int64_t low = 0;    // a bound it was compared with: the other repeat time, the scale's lowest
  std::int64_t high = 0;   // the scale's highest volume
  int otherEntry = -1;     // the earlier entry of a pair, as the № column shows it
  std::wstring path;       // where the sound file was looked for
  std::wstring reason;     // why an Unreadable file could not be read, in the system's words
  SoundFault fault = SoundFault::None;
  SoundRefusal refusal = SoundRefusal::None;
};

struct Problem {
  ProblemSeverity severity = ProblemSeverity::Error;
  int entry = 0;  // as the grid's № column shows it, from 0
  ProblemColumn column = ProblemColumn::Name;
  std::string_view ruleId;  // fixed per rule, such as "BAD001" (the ids in ProblemRules.h)
  ProblemFacts facts;
};

// The order of the problems list: by entry, then column, then rule.
bool ProblemBefore(const Problem& left, const Problem& right);
