#pragma once

#include <functional>
#include <memory>

class MainFrame;

// Makes the frame object that RunMainWindow runs; the editor makes a plain MainFrame.
using FrameFactory = std::function<std::unique_ptr<MainFrame>()>;

// Runs the main frame inside the thread's message loop and returns the exit code: the quit
// message's code after the frame was closed, 0 when its window could not be created.
int RunMainWindow(int showCommand);
int RunMainWindow(int showCommand, const FrameFactory& makeFrame);
