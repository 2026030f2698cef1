#include "game/GameAnswerLines.h"

namespace {

void AppendField(std::wstring& line, std::wstring_view field) {
  for (const wchar_t c : field) line += (c == L'\t' || c == L'\n' || c == L'\r') ? L' ' : c;
}

}  // namespace

std::wstring FormatUsageLines(const GameIndex& index, std::span<const GameUsage> usages) {
  std::wstring lines;
  for (const GameUsage& usage : usages) {
    AppendField(lines, index.Lists()[usage.list].path);
    lines += L'\t' + std::to_wstring(usage.entry) + L'\t' + TimeOfDayWord(usage.timeOfDay) + L'\t' +
             std::to_wstring(usage.volume) + L'\n';
  }
  return lines;
}

std::wstring FormatUnusedLines(const GameIndex& index, std::span<const std::size_t> sounds) {
  std::wstring lines;
  for (const std::size_t sound : sounds) {
    AppendField(lines, index.Name(index.Sounds()[sound].name));
    lines += L'\n';
  }
  return lines;
}

std::wstring FormatMissingLines(const GameIndex& index, std::span<const GameMissingName> names) {
  std::wstring lines;
  for (const GameMissingName& name : names) {
    AppendField(lines, index.Name(name.name));
    for (const std::size_t list : name.lists) {
      lines += L'\t';
      AppendField(lines, index.Lists()[list].path);
    }
    lines += L'\n';
  }
  return lines;
}
