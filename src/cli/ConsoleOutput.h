#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The standard output and error of a program built for the window subsystem. Started from a
// shell that redirects them (a build script's pipe or file), the process inherits valid handles
// and writes there, in UTF-8. Started from an interactive console, Windows gives it none, so it
// attaches to its parent's console and writes there as text the console shows in any language.
class ConsoleOutput {
 public:
  ConsoleOutput();
  ConsoleOutput(const ConsoleOutput&) = delete;
  ConsoleOutput& operator=(const ConsoleOutput&) = delete;

  void Out(std::wstring_view text) { Write(out_, text); }
  void Error(std::wstring_view text) { Write(error_, text); }

 private:
  static void Write(HANDLE handle, std::wstring_view text);

  HANDLE out_ = nullptr;
  HANDLE error_ = nullptr;
};
