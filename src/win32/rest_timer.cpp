#include "win32/rest_timer.h"

#include <utility>

namespace tavio::win32 {

void TrackingRestTimer::Restart(std::chrono::milliseconds rest, Elapsed elapsed) {
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof(track);
  track.dwFlags = TME_HOVER | TME_LEAVE;
  track.hwndTrack = window_;
  track.dwHoverTime = static_cast<DWORD>(rest.count());
  TrackMouseEvent(&track);
  elapsed_ = std::move(elapsed);
  pending_ = true;
}

void TrackingRestTimer::Cancel() {
  if (!pending_) return;
  pending_ = false;
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof(track);
  track.dwFlags = TME_CANCEL | TME_HOVER;
  track.hwndTrack = window_;
  TrackMouseEvent(&track);
}

void TrackingRestTimer::Hovered() {
  if (!pending_) return;
  pending_ = false;
  // A copy: the handler may restart the timer.
  const Elapsed elapsed = elapsed_;
  if (elapsed) elapsed();
}

}  // namespace tavio::win32
