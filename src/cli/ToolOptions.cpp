#include "cli/ToolOptions.h"

#include <algorithm>
#include <cwctype>
#include <limits>
#include <span>
#include <string_view>

namespace {

std::wstring Lowered(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

std::optional<TimeOfDay> ParseTime(const std::wstring& text) {
  const std::wstring word = Lowered(text);
  if (word == L"dawn") return TimeOfDay::Dawn;
  if (word == L"day") return TimeOfDay::Day;
  if (word == L"sunset") return TimeOfDay::Sunset;
  if (word == L"night") return TimeOfDay::Night;
  return std::nullopt;
}

std::optional<VolumeScale> ParseScale(const std::wstring& text) {
  const std::wstring word = Lowered(text);
  if (word == L"percent") return VolumeScale::Percent;
  if (word == L"centibels") return VolumeScale::Centibels;
  if (word == L"byte") return VolumeScale::Byte;
  return std::nullopt;
}

// Decimal digits only: no sign, no spaces, no overflow.
std::optional<std::uint64_t> ParseWhole(const std::wstring& text) {
  if (text.empty() || text.size() > 20) return std::nullopt;
  std::uint64_t value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    const std::uint64_t digit = static_cast<std::uint64_t>(c - L'0');
    if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

ToolArgumentError TakeSoundFolder(ToolOptions& options, const std::wstring& value) {
  options.soundFolder = value;
  return ToolArgumentError::None;
}

ToolArgumentError TakeTime(ToolOptions& options, const std::wstring& value) {
  const auto time = ParseTime(value);
  if (!time) return ToolArgumentError::BadTime;
  options.time = *time;
  return ToolArgumentError::None;
}

ToolArgumentError TakeSeconds(ToolOptions& options, const std::wstring& value) {
  const auto seconds = ParseWhole(value);
  if (!seconds || *seconds < 1 || *seconds > MaxRenderSeconds) return ToolArgumentError::BadSeconds;
  options.seconds = static_cast<int>(*seconds);
  return ToolArgumentError::None;
}

ToolArgumentError TakeSeed(ToolOptions& options, const std::wstring& value) {
  const auto seed = ParseWhole(value);
  if (!seed) return ToolArgumentError::BadSeed;
  options.seed = *seed;
  return ToolArgumentError::None;
}

ToolArgumentError TakeVolumeScale(ToolOptions& options, const std::wstring& value) {
  const auto scale = ParseScale(value);
  if (!scale) return ToolArgumentError::BadVolumeScale;
  options.volumeScale = *scale;
  return ToolArgumentError::None;
}

ToolArgumentError TakeOut(ToolOptions& options, const std::wstring& value) {
  options.out = value;
  return ToolArgumentError::None;
}

ToolArgumentError TakeMissing(ToolOptions& options, const std::wstring&) {
  options.missing = true;
  return ToolArgumentError::None;
}

// An option takes one value, read by its rule, unless it is a switch that stands alone.
struct OptionRule {
  std::wstring_view name;
  ToolArgumentError (*take)(ToolOptions& options, const std::wstring& value);
  bool takesValue = true;
};

constexpr OptionRule kOptions[] = {
    {L"--sound-folder", TakeSoundFolder}, {L"--time", TakeTime},
    {L"--seconds", TakeSeconds},          {L"--seed", TakeSeed},
    {L"--volume-scale", TakeVolumeScale}, {L"--out", TakeOut},
    {L"--missing", TakeMissing, false},
};

// An option that a command accepts, and what leaving it out is refused for (None: it may be).
struct OptionUse {
  std::wstring_view name;
  ToolArgumentError whenMissing = ToolArgumentError::None;
};

constexpr std::size_t kAnyNumber = std::numeric_limits<std::size_t>::max();

// A command: its name (the first argument), its options, how many plain arguments it takes and
// what one more is refused for.
struct CommandRule {
  std::wstring_view name;
  ToolMode mode;
  std::span<const OptionUse> options;
  std::size_t mostLists;
  ToolArgumentError whenTooMany = ToolArgumentError::ExtraArgument;
};

constexpr OptionUse kCheckOptions[] = {{L"--sound-folder"}};
constexpr OptionUse kRenderOptions[] = {
    {L"--time", ToolArgumentError::NoTime},
    {L"--out", ToolArgumentError::NoOutput},
    {L"--seconds"},
    {L"--seed"},
    {L"--volume-scale"},
    {L"--sound-folder"},
};

constexpr OptionUse kUsagesOptions[] = {{L"--sound-folder"}};
constexpr OptionUse kUnusedSoundsOptions[] = {{L"--sound-folder"}, {L"--missing"}};

constexpr CommandRule kCommands[] = {
    {L"--check", ToolMode::Check, kCheckOptions, kAnyNumber},
    {L"--render-ambience", ToolMode::RenderAmbience, kRenderOptions, 1, ToolArgumentError::OneListOnly},
    {L"--usages", ToolMode::Usages, kUsagesOptions, 2},
    {L"--unused-sounds", ToolMode::UnusedSounds, kUnusedSoundsOptions, 1},
};

// "--" alone ends the options and is no option itself.
constexpr std::wstring_view kEndOfOptions = L"--";

bool LooksLikeOption(const std::wstring& argument) {
  return argument.size() > 2 && argument.compare(0, 2, L"--") == 0;
}

const CommandRule* FindCommand(const std::wstring& argument) {
  for (const CommandRule& command : kCommands)
    if (command.name == argument) return &command;
  return nullptr;
}

const OptionUse* FindUse(const CommandRule& command, const std::wstring& argument) {
  for (const OptionUse& use : command.options)
    if (use.name == argument) return &use;
  return nullptr;
}

const OptionRule& RuleOf(std::wstring_view name) {
  return *std::find_if(std::begin(kOptions), std::end(kOptions),
                       [name](const OptionRule& rule) { return rule.name == name; });
}

ToolOptions Refused(ToolOptions options, ToolArgumentError error, std::wstring argument) {
  options.error = error;
  options.argument = std::move(argument);
  return options;
}

// The editor takes files only: an option there is a mistyped tool more likely than a file, and
// handing it to the editor would open a window to say that no such file exists.
ToolOptions ParseEditorFiles(const std::vector<std::wstring>& arguments) {
  ToolOptions options;
  bool optionsEnded = false;
  for (const std::wstring& argument : arguments) {
    if (!optionsEnded && argument == kEndOfOptions) {
      optionsEnded = true;
      continue;
    }
    if (!optionsEnded && LooksLikeOption(argument))
      return Refused(options, ToolArgumentError::UnknownOption, argument);
    options.lists.push_back(argument);
  }
  return options;
}

}  // namespace

ToolOptions ParseToolOptions(const std::vector<std::wstring>& arguments) {
  const CommandRule* command = arguments.empty() ? nullptr : FindCommand(arguments[0]);
  if (command == nullptr) return ParseEditorFiles(arguments);
  ToolOptions options;
  options.mode = command->mode;
  std::vector<std::wstring_view> given;
  bool optionsEnded = false;
  for (std::size_t index = 1; index < arguments.size(); ++index) {
    const std::wstring& argument = arguments[index];
    if (!optionsEnded && argument == kEndOfOptions) {
      optionsEnded = true;
      continue;
    }
    if (optionsEnded || !LooksLikeOption(argument)) {
      if (options.lists.size() >= command->mostLists)
        return Refused(options, command->whenTooMany, argument);
      options.lists.push_back(argument);
      continue;
    }
    const OptionUse* use = FindUse(*command, argument);
    if (use == nullptr) return Refused(options, ToolArgumentError::UnknownOption, argument);
    // A second value would silently win over the first; the script means one of them.
    if (std::find(given.begin(), given.end(), use->name) != given.end())
      return Refused(options, ToolArgumentError::RepeatedOption, argument);
    const OptionRule& rule = RuleOf(use->name);
    given.push_back(use->name);
    if (!rule.takesValue) {
      rule.take(options, L"");
      continue;
    }
    if (index + 1 >= arguments.size()) return Refused(options, ToolArgumentError::MissingValue, argument);
    const std::wstring& value = arguments[++index];
    const ToolArgumentError error = rule.take(options, value);
    if (error != ToolArgumentError::None) return Refused(options, error, value);
  }
  if (options.mode == ToolMode::Usages && options.lists.size() < 2)
    return Refused(options, options.lists.empty() ? ToolArgumentError::NoSound : ToolArgumentError::NoGame, L"");
  if (options.mode == ToolMode::UnusedSounds && options.lists.empty())
    return Refused(options, ToolArgumentError::NoGame, L"");
  if (options.lists.empty()) return Refused(options, ToolArgumentError::NoList, L"");
  for (const OptionUse& use : command->options) {
    if (use.whenMissing == ToolArgumentError::None) continue;
    if (std::find(given.begin(), given.end(), use.name) == given.end())
      return Refused(options, use.whenMissing, L"");
  }
  return options;
}
