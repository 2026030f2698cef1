#include "cli/ToolStrings.h"

#include "commands/CommandStrings.h"
#include "resources/ResourceIds.h"

std::wstring ToolString(UINT id, const std::vector<std::wstring>& inserts) { return FormatCommandStrings(id, inserts); }

ProblemLanguage InterfaceLanguage() {
  return ToolString(STR_INTERFACE_LANGUAGE) == L"ru" ? ProblemLanguage::Russian : ProblemLanguage::English;
}
