#include "cli/ToolOptions.h"

#include <cstdint>
#include <cwctype>

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

bool IsOption(const std::wstring& argument) { return argument.size() > 2 && argument.compare(0, 2, L"--") == 0; }

ToolOptions Refused(ToolOptions options, ToolArgumentError error, std::wstring argument) {
  options.error = error;
  options.argument = std::move(argument);
  return options;
}

// Takes the value of option `name` into `options`; the error when the value is refused.
ToolArgumentError TakeValue(ToolOptions& options, const std::wstring& name, const std::wstring& value) {
  if (name == L"--sound-folder") {
    options.soundFolder = value;
  } else if (name == L"--time") {
    const auto time = ParseTime(value);
    if (!time) return ToolArgumentError::BadTime;
    options.time = *time;
  } else if (name == L"--seconds") {
    const auto seconds = ParseWhole(value);
    if (!seconds || *seconds < 1 || *seconds > MaxRenderSeconds) return ToolArgumentError::BadSeconds;
    options.seconds = static_cast<int>(*seconds);
  } else if (name == L"--seed") {
    const auto seed = ParseWhole(value);
    if (!seed) return ToolArgumentError::BadSeed;
    options.seed = *seed;
  } else if (name == L"--volume-scale") {
    const auto scale = ParseScale(value);
    if (!scale) return ToolArgumentError::BadVolumeScale;
    options.volumeScale = *scale;
  } else if (name == L"--out") {
    options.out = value;
  }
  return ToolArgumentError::None;
}

// Options that stand alone, without a value.
bool IsFlag(ToolMode mode, const std::wstring& name) { return mode == ToolMode::UnusedSounds && name == L"--missing"; }

// How many arguments that are no options each form takes.
std::size_t MostPlainArguments(ToolMode mode) {
  switch (mode) {
    case ToolMode::Usages: return 2;
    case ToolMode::UnusedSounds: return 1;
    case ToolMode::RenderAmbience: return 1;
    default: return SIZE_MAX;
  }
}

bool TakesValue(ToolMode mode, const std::wstring& name) {
  if (name == L"--sound-folder") return true;
  if (mode != ToolMode::RenderAmbience) return false;
  return name == L"--time" || name == L"--seconds" || name == L"--seed" || name == L"--volume-scale" ||
         name == L"--out";
}

}  // namespace

ToolOptions ParseToolOptions(const std::vector<std::wstring>& arguments) {
  ToolOptions options;
  if (arguments.empty()) return options;
  if (arguments[0] == L"--check") {
    options.mode = ToolMode::Check;
  } else if (arguments[0] == L"--render-ambience") {
    options.mode = ToolMode::RenderAmbience;
  } else if (arguments[0] == L"--usages") {
    options.mode = ToolMode::Usages;
  } else if (arguments[0] == L"--unused-sounds") {
    options.mode = ToolMode::UnusedSounds;
  } else {
    return options;
  }
  bool timeGiven = false;
  for (std::size_t index = 1; index < arguments.size(); ++index) {
    const std::wstring& argument = arguments[index];
    if (!IsOption(argument)) {
      if (options.lists.size() >= MostPlainArguments(options.mode)) {
        const bool render = options.mode == ToolMode::RenderAmbience;
        return Refused(options, render ? ToolArgumentError::OneListOnly : ToolArgumentError::ExtraArgument, argument);
      }
      options.lists.push_back(argument);
      continue;
    }
    if (IsFlag(options.mode, argument)) {
      options.missing = true;
      continue;
    }
    if (!TakesValue(options.mode, argument)) return Refused(options, ToolArgumentError::UnknownOption, argument);
    if (index + 1 >= arguments.size()) return Refused(options, ToolArgumentError::MissingValue, argument);
    const std::wstring& value = arguments[++index];
    const ToolArgumentError error = TakeValue(options, argument, value);
    if (error != ToolArgumentError::None) return Refused(options, error, value);
    timeGiven |= argument == L"--time";
  }
  if (options.mode == ToolMode::Usages && options.lists.size() < 2)
    return Refused(options, options.lists.empty() ? ToolArgumentError::NoSound : ToolArgumentError::NoGame, L"");
  if (options.mode == ToolMode::UnusedSounds && options.lists.empty())
    return Refused(options, ToolArgumentError::NoGame, L"");
  if (options.lists.empty()) return Refused(options, ToolArgumentError::NoList, L"");
  if (options.mode == ToolMode::RenderAmbience) {
    if (!timeGiven) return Refused(options, ToolArgumentError::NoTime, L"");
    if (options.out.empty()) return Refused(options, ToolArgumentError::NoOutput, L"");
  }
  return options;
}
