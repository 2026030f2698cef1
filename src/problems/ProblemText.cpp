#include "problems/ProblemText.h"

#include <array>
#include <string_view>

#include "problems/ProblemRules.h"

namespace {

struct Wording {
  std::string_view rule;
  const wchar_t* english;
  const wchar_t* russian;
};

// {value}, {low}, {high}, {other}, {path} and {reason} stand for the problem's facts.
constexpr std::array kWordings = {
    Wording{kRuleMaxBelowMin,
            L"The maximum repeat time ({value} ms) is below the minimum ({low} ms): swap them or raise the maximum.",
            L"Максимальное время повтора ({value} мс) меньше минимального ({low} мс): поменяйте их местами "
            L"или увеличьте максимальное."},
    Wording{kRuleRepeatNotPositive,
            L"A repeat time of {value} ms leaves no wait between plays: set it above 0.",
            L"Время повтора {value} мс не оставляет паузы между повторами: задайте значение больше 0."},
    Wording{kRuleRepeatRaised,
            L"A repeat time of {value} ms is shorter than the {low} ms that the preview and the export wait at "
            L"least between two starts, so they play it as {low} ms: set it to {low} ms or more.",
            L"Время повтора {value} мс короче {low} мс, наименьшей паузы между запусками при прослушивании и "
            L"экспорте, поэтому они воспроизводят его как {low} мс: задайте {low} мс или больше."},
    Wording{kRuleSoundOutlastsRepeat,
            L"The sound lasts {value} ms, longer than the minimum repeat time of {low} ms, so it can start again "
            L"before it ends: raise the minimum to at least {value} ms or shorten the sound.",
            L"Звук длится {value} мс, дольше минимального времени повтора {low} мс, и может начаться снова, "
            L"не доиграв: увеличьте минимальное время хотя бы до {value} мс или укоротите звук."},
    Wording{kRuleSoundMissing,
            L"No file is found at “{path}”: correct the name or put the file there.",
            L"Файл не найден по пути «{path}»: исправьте имя или положите файл туда."},
    Wording{kRuleSoundUnplayable,
            L"The file “{path}” cannot be played: {reason}; save it again as 8- or 16-bit PCM WAV or as Ogg Vorbis.",
            L"Файл «{path}» не воспроизводится: {reason}; сохраните его заново в PCM WAV (8 или 16 бит) или в Ogg Vorbis."},
    Wording{kRuleNameOutsideFolder,
            L"The name has a drive letter, a leading \\ or / or a “..” part, and the game looks for sounds only "
            L"inside its sound folder: write the name relative to that folder.",
            L"В имени есть буква диска, \\ или / в начале или часть «..», а игра ищет звуки только в своей папке "
            L"звуков: запишите имя относительно этой папки."},
    Wording{kRuleSoundTwice,
            L"Entry № {other} already plays this file at the same time of day: delete one of them or change "
            L"its time of day.",
            L"Запись № {other} уже проигрывает этот файл в то же время суток: удалите одну из записей или "
            L"измените её время суток."},
    Wording{kRuleVolumeOutOfScale,
            L"The volume {value} is outside the list's scale, {low} to {high}: set a volume within it.",
            L"Громкость {value} вне шкалы списка, от {low} до {high}: задайте громкость в этих пределах."},
    Wording{kRuleTimeOfDayUnknown,
            L"The time-of-day byte is {value}, but only 0 to 3 (dawn, day, sunset, night) mean anything: choose "
            L"a time of day.",
            L"Байт времени суток равен {value}, а смысл есть только у значений от 0 до 3 (рассвет, день, закат, "
            L"ночь): выберите время суток."},
    Wording{kRuleNameUndecodable,
            L"The name's bytes are not valid in the code page of names, so the game may not find the file: choose "
            L"the list's code page under View > Code Page of Names or type the name again.",
            L"Байты имени недопустимы в кодировке имён, и игра может не найти файл: выберите кодировку списка "
            L"в меню «Вид > Кодировка имён» или введите имя заново."},
};

// BAD005 for a file that is there but cannot be read: saving it again as another format would
// not help, and the system's reason says what would.
constexpr Wording kUnreadableWording{
    kRuleSoundUnplayable,
    L"The file “{path}” is there but cannot be read{reason}: close the program that holds it or let this one "
    L"read it.",
    L"Файл «{path}» есть, но не читается{reason}: закройте программу, которая его держит, или разрешите "
    L"этой программе его читать."};

const wchar_t* Pick(ProblemLanguage language, const wchar_t* english, const wchar_t* russian) {
  return language == ProblemLanguage::Russian ? russian : english;
}

std::wstring Reason(const ProblemFacts& facts, ProblemLanguage language) {
  if (facts.fault == SoundFault::Unreadable) return facts.reason.empty() ? std::wstring() : L" (" + facts.reason + L")";
  switch (facts.refusal) {
    case SoundRefusal::UnknownFormat:
      return Pick(language, L"it is neither a WAV nor an Ogg file", L"это не файл WAV и не Ogg");
    case SoundRefusal::UnsupportedEncoding:
      return Pick(language, L"its samples are neither 8- or 16-bit PCM nor Vorbis",
                  L"его звук записан не в PCM 8 или 16 бит и не в Vorbis");
    case SoundRefusal::UnsupportedChannels:
      return Pick(language, L"it has more than two channels", L"в нём больше двух каналов");
    case SoundRefusal::UnsupportedRate:
      return Pick(language, L"its sample rate is outside 1000 to 192000 Hz",
                  L"его частота дискретизации вне пределов от 1000 до 192000 Гц");
    case SoundRefusal::Truncated:
      return Pick(language, L"it is cut off", L"он обрезан");
    case SoundRefusal::Corrupt:
      return Pick(language, L"it is damaged", L"он повреждён");
    case SoundRefusal::TooLong:
      return Pick(language, L"it is too long to be held in memory", L"он слишком длинный, чтобы уместиться в памяти");
    case SoundRefusal::Empty:
      return Pick(language, L"it holds no sound", L"в нём нет звука");
    case SoundRefusal::Stopped:  // a probe is never stopped half-way
    case SoundRefusal::None:
      break;
  }
  return Pick(language, L"it cannot be decoded", L"его не удаётся декодировать");
}

std::wstring Fill(std::wstring_view pattern, const Problem& problem, ProblemLanguage language) {
  const ProblemFacts& facts = problem.facts;
  const auto value = [&](std::wstring_view name) -> std::wstring {
    if (name == L"value") return std::to_wstring(facts.value);
    if (name == L"low") return std::to_wstring(facts.low);
    if (name == L"high") return std::to_wstring(facts.high);
    if (name == L"other") return std::to_wstring(facts.otherEntry);
    if (name == L"path") return facts.path;
    if (name == L"reason") return Reason(facts, language);
    return std::wstring(name);
  };
  std::wstring text;
  std::size_t at = 0;
  while (at < pattern.size()) {
    const std::size_t open = pattern.find(L'{', at);
    const std::size_t close = open == std::wstring_view::npos ? open : pattern.find(L'}', open);
    if (close == std::wstring_view::npos) break;
    text.append(pattern.substr(at, open - at));
    text += value(pattern.substr(open + 1, close - open - 1));
    at = close + 1;
  }
  if (at < pattern.size()) text.append(pattern.substr(at));
  return text;
}

void AppendField(std::wstring& line, std::wstring_view field) {
  for (const wchar_t c : field) line += (c == L'\t' || c == L'\n' || c == L'\r') ? L' ' : c;
}

}  // namespace

std::wstring ColumnCaption(ProblemColumn column, ProblemLanguage language) {
  switch (column) {
    case ProblemColumn::Name:
      return Pick(language, L"Audio file", L"Аудио-файл");
    case ProblemColumn::MinRepeat:
      return Pick(language, L"Min. repeat", L"Мин. время повтора");
    case ProblemColumn::MaxRepeat:
      return Pick(language, L"Max. repeat", L"Макс. время повтора");
    case ProblemColumn::TimeOfDay:
      return Pick(language, L"Time of day", L"Время суток");
    case ProblemColumn::Volume:
      return Pick(language, L"Volume", L"Громкость");
  }
  return {};
}

std::wstring DescribeProblem(const Problem& problem, ProblemLanguage language) {
  if (problem.ruleId == kRuleSoundUnplayable && problem.facts.fault == SoundFault::Unreadable)
    return Fill(Pick(language, kUnreadableWording.english, kUnreadableWording.russian), problem, language);
  for (const Wording& wording : kWordings) {
    if (wording.rule == problem.ruleId) return Fill(Pick(language, wording.english, wording.russian), problem, language);
  }
  return {};
}

std::wstring FormatProblemLines(const std::wstring& document, std::span<const Problem> problems,
                                ProblemLanguage language) {
  std::wstring lines;
  for (const Problem& problem : problems) {
    AppendField(lines, document);
    lines += L'\t' + std::to_wstring(problem.entry) + L'\t';
    AppendField(lines, ColumnCaption(problem.column, language));
    lines += L'\t';
    lines.append(problem.ruleId.begin(), problem.ruleId.end());
    lines += L'\t';
    AppendField(lines, DescribeProblem(problem, language));
    lines += L'\n';
  }
  return lines;
}
