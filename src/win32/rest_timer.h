#pragma once
// The hover rest on the platform's own hover tracking: TrackMouseEvent asks
// for WM_MOUSEHOVER after the mouse has rested on the window, and for
// WM_MOUSELEAVE when it leaves the window or a control takes it.

#include <windows.h>

#include "core/shell/window_calls.h"

namespace tavio::win32 {

class TrackingRestTimer final : public RestTimer {
 public:
  explicit TrackingRestTimer(HWND window) : window_(window) {}

  void Restart(std::chrono::milliseconds rest, Elapsed elapsed) override;
  void Cancel() override;
  bool Pending() const override { return pending_; }

  // WM_MOUSEHOVER reached the window. A hover that was cancelled meanwhile
  // (its message already queued) does nothing.
  void Hovered();

 private:
  HWND window_;
  bool pending_ = false;
  Elapsed elapsed_;
};

}  // namespace tavio::win32
