#include "qt/windows_notices.h"

#ifdef _WIN32

#include <QByteArray>
#include <QCoreApplication>
#include <QWidget>

#include <utility>

// After the core's headers: <windows.h> turns LoadString into a macro.
#include <windows.h>
#undef LoadString

namespace tavio::qt {

WindowsNoticeFilter::WindowsNoticeFilter(const QWidget& window, Handler handler)
    : window_(window), handler_(std::move(handler)) {
  QCoreApplication::instance()->installNativeEventFilter(this);
}

WindowsNoticeFilter::~WindowsNoticeFilter() {
  if (QCoreApplication* application = QCoreApplication::instance()) application->removeNativeEventFilter(this);
}

bool WindowsNoticeFilter::nativeEventFilter(const QByteArray& event_type, void* message, qintptr* result) {
  // Device notices are sent to the window procedure, never posted: only the
  // generic stream carries them.
  if (message == nullptr || !handler_ || event_type != "windows_generic_MSG") return false;
  const MSG* msg = static_cast<const MSG*>(message);
  if (msg->message != WM_DEVICECHANGE) return false;
  // internalWinId(), not winId(): never make a native window from here.
  const WId own = window_.internalWinId();
  if (own == 0 || msg->hwnd != reinterpret_cast<HWND>(own)) return false;
  if (!handler_(NoticeFromDeviceChange(msg->wParam, msg->lParam))) return false;
  if (result != nullptr) *result = TRUE;
  return true;
}

bool WindowsNoticeRegistration::Register() {
  return notification_.Register(reinterpret_cast<void*>(window_.winId()));
}

}  // namespace tavio::qt

#endif  // _WIN32
