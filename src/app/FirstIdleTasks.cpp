#include "app/FirstIdleTasks.h"

#include <utility>

// Taken off the list before each runs: a task may show a dialog whose own loop lets the
// thread go idle, and nothing may run twice.
void FirstIdleTasks::DoIdle() {
  while (!tasks_.empty()) {
    std::function<void()> task = std::move(tasks_.front());
    tasks_.erase(tasks_.begin());
    task();
  }
}
