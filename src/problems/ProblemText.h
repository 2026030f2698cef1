#pragma once

// Problems worded for people, in the interface language: one sentence each that says what is
// wrong and what to do. Portable tables rather than the program's string resources, so that the
// command line and the native tests word them exactly as the problems list does.

#include <span>
#include <string>

#include "problems/Problem.h"

enum class ProblemLanguage { English, Russian };

// What the problems list and the command line call each column.
std::wstring ColumnCaption(ProblemColumn column, ProblemLanguage language);

std::wstring DescribeProblem(const Problem& problem, ProblemLanguage language);

// One line per problem for scripts and the clipboard, tab-separated: document, entry (as the
// № column shows it), column, rule id, sentence; each line ends with '\n'. Tabs and line breaks
// inside the document's name become spaces, so a line is always five fields.
std::wstring FormatProblemLines(const std::wstring& document, std::span<const Problem> problems,
                                ProblemLanguage language);
