#include "format/NamesCodePage.h"

#include "format/Win32CodePageConverter.h"

namespace {

constexpr UINT kWindows1251 = 1251;

NamesCodePage& Choice() {
  static NamesCodePage choice = NamesCodePage::System;
  return choice;
}

}  // namespace

NamesCodePage CurrentNamesCodePage() { return Choice(); }

void SetNamesCodePage(NamesCodePage choice) { Choice() = choice; }

const CodePageConverter& NamesConverterFor(NamesCodePage choice) {
  static const Win32CodePageConverter cyrillic(kWindows1251);
  return choice == NamesCodePage::Windows1251 ? cyrillic : ProcessCodePageConverter();
}

const CodePageConverter& NamesConverter() { return NamesConverterFor(Choice()); }

UINT NamesCodePageNumber() {
  if (Choice() == NamesCodePage::Windows1251) return kWindows1251;
  CPINFOEXW info{};
  return GetCPInfoExW(ProcessAnsiCodePage(), 0, &info) ? info.CodePage : GetACP();
}
