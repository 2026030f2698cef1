#include "app/RunMainWindow.h"

#include "app/AppModule.h"
#include "app/MainFrame.h"
#include "app/MessageLoop.h"

int RunMainWindow(int showCommand, const std::vector<std::wstring>& files) {
  return RunMainWindow(
      showCommand, [] { return std::make_unique<MainFrame>(); }, files);
}

int RunMainWindow(int showCommand, const FrameFactory& makeFrame, const std::vector<std::wstring>& files) {
  auto loop = std::make_unique<MessageLoop>();
  TheAppModule().RegisterLoop(loop.get());

  std::unique_ptr<MainFrame> frame = makeFrame();
  HWND hwnd = frame->CreateFrame();
  if (hwnd == nullptr) {
    // Nothing to show and nobody to tell: the process just ends with code 0.
    frame.reset();
    TheAppModule().UnregisterLoop();
    return 0;
  }
  ShowWindow(hwnd, showCommand);
  for (const std::wstring& path : files) frame->OpenDocument(path, files.size() > 1);
  const int exitCode = loop->Pump();
  TheAppModule().UnregisterLoop();
  frame.reset();
  return exitCode;
}
