#pragma once

// The rules, one function each, each with an id that never changes (scripts and the README
// name them). A rule appends what it finds to `found` and nothing when the entry is sound.
// Errors are mistakes the game cannot play as written; warnings play, but not as most likely meant.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ambience/AmbienceSounds.h"
#include "ambience/VolumeScale.h"
#include "format/CodePageConverter.h"
#include "ambient/EntryList.h"
#include "problems/Problem.h"
#include "problems/SoundProbe.h"

inline constexpr std::string_view kRuleMaxBelowMin = "BAD001";
inline constexpr std::string_view kRuleRepeatNotPositive = "BAD002";
inline constexpr std::string_view kRuleSoundOutlastsRepeat = "BAD003";
inline constexpr std::string_view kRuleSoundMissing = "BAD004";
inline constexpr std::string_view kRuleSoundUnplayable = "BAD005";
inline constexpr std::string_view kRuleNameOutsideFolder = "BAD006";
inline constexpr std::string_view kRuleSoundTwice = "BAD007";
inline constexpr std::string_view kRuleVolumeOutOfScale = "BAD008";
inline constexpr std::string_view kRuleTimeOfDayUnknown = "BAD009";
inline constexpr std::string_view kRuleNameUndecodable = "BAD010";
inline constexpr std::string_view kRuleRepeatRaised = "BAD011";

// Entry rules: they read the entry alone and run synchronously.

// BAD001, error: a maximum repeat time below the minimum.
void CheckRepeatOrder(const DocumentEntry& entry, int index, std::vector<Problem>& found);
// BAD002, error: a minimum or maximum repeat time of 0 or less (one problem per such column).
void CheckRepeatPositive(const DocumentEntry& entry, int index, std::vector<Problem>& found);
// BAD011, warning: a minimum or maximum repeat time of 1 to 99 ms, which the preview, the
// timeline and the export play as ShortestRepeatMs (one problem per such column).
void CheckRepeatNotRaised(const DocumentEntry& entry, int index, std::vector<Problem>& found);
// BAD006, error: a name the game does not find inside its sound folder (NameStaysInsideFolder).
void CheckNameInsideFolder(const DocumentEntry& entry, int index, std::vector<Problem>& found);
// BAD008, warning: a volume beyond `scale`.
void CheckVolumeInScale(const DocumentEntry& entry, int index, VolumeScale scale, std::vector<Problem>& found);
// BAD009, error: a time-of-day byte of 4 to 255.
void CheckTimeOfDayKnown(const DocumentEntry& entry, int index, std::vector<Problem>& found);
// BAD010, warning: a stored name whose bytes `converter`'s code page cannot read (and that
// nobody has retyped since).
void CheckNameDecodable(const DocumentEntry& entry, int index, const CodePageConverter& converter,
                        std::vector<Problem>& found);

// Sound rules: they read the verdict on the entry's file, found at `path`; a Pending verdict
// finds nothing yet.

// BAD004, error: no file at `path`.
void CheckSoundExists(int index, const std::wstring& path, const SoundProbe& probe, std::vector<Problem>& found);
// BAD005, error: a file that is there but cannot be read (or even examined), or that the decoder
// refuses.
void CheckSoundPlayable(int index, const std::wstring& path, const SoundProbe& probe, std::vector<Problem>& found);
// BAD003, warning: a sound that lasts longer than the entry's minimum repeat time. A repeat
// time runs from one start of the sound to the next, so at the shortest wait the next start
// comes before this play ends; a minimum of 0 or less is BAD002's and not repeated here.
void CheckSoundFitsRepeat(const DocumentEntry& entry, int index, const SoundProbe& probe, std::vector<Problem>& found);

// List rule: BAD007, warning: a file that an earlier entry already plays at the same time-of-day
// byte. The later entry carries the problem and names the earlier one.
void CheckSoundsPlayedOnce(std::span<const DocumentEntry> entries, std::vector<Problem>& found);

// The entry's name, empty for none.
std::wstring EntryName(const DocumentEntry& entry);
// The name as the game's file system compares it: `/` as `\`, letters without case (Latin and
// Cyrillic, the letters of the game's file names).
std::wstring SoundNameKey(std::wstring_view name);
// One character of SoundNameKey, for those who compare many names without making their keys.
inline wchar_t SoundNameKeyCharacter(wchar_t c) {
  if (c == L'/') return L'\\';
  if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c + (L'a' - L'A'));
  if (c >= 0x0410 && c <= 0x042F) return static_cast<wchar_t>(c + 0x20);  // А..Я
  if (c >= 0x0400 && c <= 0x040F) return static_cast<wchar_t>(c + 0x50);  // Ѐ..Џ, Ё among them
  return c;
}
