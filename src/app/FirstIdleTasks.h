#pragma once

#include <functional>
#include <vector>

#include "win/IdleHandler.h"

// Work a start owes the user but not the first picture of the window (the recovery offer and
// what it needs): done on the loop's first idle pass, once the window has been painted, in the
// order it was added. Registered before the frame, it runs ahead of the frame's own idle work,
// so that the command states already show what it did.
class FirstIdleTasks : public IdleHandler {
 public:
  void Add(std::function<void()> task) { tasks_.push_back(std::move(task)); }
  // Runs every task once; later passes find nothing to do. A task that adds another has it
  // run in the same pass.
  void DoIdle() override;
  bool Pending() const { return !tasks_.empty(); }

 private:
  std::vector<std::function<void()>> tasks_;
};
