#include "app/RunMainWindow.h"

#include "win/AppModule.h"
#include "app/MainFrame.h"
#include "win/MessageLoop.h"

int RunMainWindow(int showCommand, const std::vector<std::wstring>& files) {
  return RunMainWindow(
      showCommand, [] { return std::make_unique<MainFrame>(); }, files, RecoveryStore::DefaultFolder());
}

int RunMainWindow(int showCommand, const FrameFactory& makeFrame, const std::vector<std::wstring>& files,
                  const std::wstring& recoveryFolder) {
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
  if (!frame->ShowWhereLastClosed(showCommand)) {
    frame->SizeForFirstStart();
    ShowWindow(hwnd, showCommand);
  }
  // The user picked these outside the editor: a message about one names it.
  for (const std::wstring& path : files) frame->OpenDocument(path, true);
  if (!recoveryFolder.empty()) {
    frame->KeepRecoveryCopies(recoveryFolder);
    frame->OfferRecovery();
  }
  const int exitCode = loop->Pump();
  // Copies are written on a crash only while the frame that keeps them lives.
  WriteRecoveryCopiesOnCrash(nullptr);
  TheAppModule().UnregisterLoop();
  frame.reset();
  return exitCode;
}
