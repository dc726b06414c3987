#pragma once
// Device arrival and removal on Windows: the main window's HWND registers for
// HID interface notices, and WM_DEVICECHANGE is taken from Qt's native event
// stream before Qt sees it. Notices reach the handler inside whatever loop
// runs, so a modal box's loop handles them as the main loop would.

#ifdef _WIN32

#include <functional>

#include "core/link/device_notice.h"
#include "core/shell/app.h"
#include "platform/windows/device_notifications.h"

#include <QAbstractNativeEventFilter>

class QByteArray;
class QWidget;

namespace tavio::qt {

class WindowsNoticeFilter final : public QAbstractNativeEventFilter {
 public:
  // Gets every WM_DEVICECHANGE of `window`; true means handled, and the
  // message then answers TRUE.
  using Handler = std::function<bool(const DeviceNotice&)>;

  // Installs itself on the application; the application must exist.
  WindowsNoticeFilter(const QWidget& window, Handler handler);
  ~WindowsNoticeFilter() override;
  WindowsNoticeFilter(const WindowsNoticeFilter&) = delete;
  WindowsNoticeFilter& operator=(const WindowsNoticeFilter&) = delete;

  bool nativeEventFilter(const QByteArray& event_type, void* message, qintptr* result) override;

 private:
  const QWidget& window_;
  Handler handler_;
};

// Registration on the window's HWND; Register() makes the native window if
// it does not exist yet, so it may run before the window is shown.
class WindowsNoticeRegistration final : public NoticeRegistration {
 public:
  explicit WindowsNoticeRegistration(QWidget& window) : window_(window) {}

  bool Register() override;
  void Unregister() override { notification_.Unregister(); }

 private:
  QWidget& window_;
  DeviceNotification notification_;
};

}  // namespace tavio::qt

#endif  // _WIN32
