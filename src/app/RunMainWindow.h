#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class MainFrame;

// Makes the frame object that RunMainWindow runs; the editor makes a plain MainFrame.
using FrameFactory = std::function<std::unique_ptr<MainFrame>()>;

// Runs the main frame inside the thread's message loop and returns the exit code: the quit
// message's code after the frame was closed, 0 when its window could not be created. Each of
// `files` (full paths) opens in its own page once the frame is on screen. With a
// `recoveryFolder`, the frame then keeps recovery copies in the folder it names and first
// offers those a process that did not close normally left behind; the editor uses the user's
// folder. That is asked, and the copies offered, once the window has been painted.
using RecoveryFolderSource = std::function<std::wstring()>;
int RunMainWindow(int showCommand, const std::vector<std::wstring>& files = {});
int RunMainWindow(int showCommand, const FrameFactory& makeFrame, const std::vector<std::wstring>& files = {},
                  const RecoveryFolderSource& recoveryFolder = {});
