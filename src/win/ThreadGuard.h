#pragma once

#include <windows.h>

#include <utility>

// The exception a thread dies of when a C++ exception would leave its entry.
constexpr DWORD kEscapedCppException = 0xE0535745;

// Ends the process as a crash that the system, and the process's own unhandled-exception
// filter (which writes the recovery copies), both see. Without it, a C++ exception leaving a
// thread ends in the runtime's abort(): no filter runs and nothing is reported.
[[noreturn]] inline void CrashForEscapedException() noexcept {
  RaiseException(kEscapedCppException, EXCEPTION_NONCONTINUABLE, 0, nullptr);
  // Only a debugger that swallows the exception comes back here.
  TerminateProcess(GetCurrentProcess(), kEscapedCppException);
  for (;;) Sleep(INFINITE);
}

// A thread's entry around `body`: what it throws and does not catch itself ends the process
// as a crash (see above). A worker's state after an exception nobody expected is unknown, so
// it is not carried on. The exception is raised outside the catch block, once its C++
// unwinding is over.
template <typename Body>
auto GuardedThreadEntry(Body body) {
  return [body = std::move(body)](auto&&... args) mutable noexcept {
    bool escaped = false;
    try {
      body(std::forward<decltype(args)>(args)...);
    } catch (...) {
      escaped = true;
    }
    if (escaped) CrashForEscapedException();
  };
}
