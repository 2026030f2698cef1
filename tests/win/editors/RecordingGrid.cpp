#include "RecordingGrid.h"

#include "WinTestSupport.h"
#include "griditems/GridMessages.h"

namespace {

bool IsGridMessage(UINT msg) {
  return msg == GRIDM_COMMITEDIT || msg == GRIDM_CANCELEDIT || msg == GRIDM_NAVIGATE || msg == GRIDM_EDITORBUTTON;
}

RecordingGrid* theGrid = nullptr;

}  // namespace

RecordingGrid::RecordingGrid() {
  font_.reset(CreateFontW(-15, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
  Create(RegisterWindowClass(L"Sonarwick_TestGrid"), nullptr, RECT{100, 100, 700, 500}, L"grid",
         WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN);
  theGrid = this;
  hook_ = SetWindowsHookExW(WH_GETMESSAGE, OnQueueMessage, nullptr, GetCurrentThreadId());
}

RecordingGrid::~RecordingGrid() {
  UnhookWindowsHookEx(hook_);
  theGrid = nullptr;
}

LRESULT CALLBACK RecordingGrid::OnQueueMessage(int code, WPARAM wParam, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && theGrid != nullptr && msg->hwnd == theGrid->Handle() &&
      IsGridMessage(msg->message)) {
    ++theGrid->postedPending_;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool RecordingGrid::HandleMessage(Message& m) {
  if (m.msg == WM_GETFONT) {
    m.result = reinterpret_cast<LRESULT>(font_.get());
    return true;
  }
  if (!IsGridMessage(m.msg)) return Window::HandleMessage(m);
  bool sent = postedPending_ == 0;
  if (!sent) --postedPending_;
  auto editor = reinterpret_cast<HWND>(m.lParam);
  bool ends = m.msg == GRIDM_COMMITEDIT || m.msg == GRIDM_CANCELEDIT;
  received.push_back({m.msg, m.wParam, m.lParam, sent, ends ? WindowText(editor) : L""});
  if (ends && policy == EndPolicy::PostClose) PostMessageW(editor, WM_CLOSE, 0, 0);
  if (ends && policy == EndPolicy::DestroyAtOnce) DestroyWindow(editor);
  m.result = 0;
  return true;
}
