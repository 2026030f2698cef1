#pragma once

#include <windows.h>

// Scoped device-context state: each restores or releases what it took when it goes away.

// Selects an object into a DC and puts the previous one back.
class SelectionScope {
 public:
  SelectionScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
  ~SelectionScope() {
    if (previous_ != nullptr) SelectObject(dc_, previous_);
  }
  SelectionScope(const SelectionScope&) = delete;
  SelectionScope& operator=(const SelectionScope&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// BeginPaint/EndPaint.
class PaintScope {
 public:
  explicit PaintScope(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &paint_)) {}
  ~PaintScope() { EndPaint(hwnd_, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;

  HDC dc() const { return dc_; }
  const PAINTSTRUCT& paint() const { return paint_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// GetDC/ReleaseDC; a null window gives the screen DC.
class WindowDcScope {
 public:
  explicit WindowDcScope(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~WindowDcScope() {
    if (dc_ != nullptr) ReleaseDC(hwnd_, dc_);
  }
  WindowDcScope(const WindowDcScope&) = delete;
  WindowDcScope& operator=(const WindowDcScope&) = delete;

  HDC dc() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};
