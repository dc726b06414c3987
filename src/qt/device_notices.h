#pragma once
// Device arrival and removal notices for the Qt event loop. Each notice
// reaches OnDeviceChange from the event loop, so a notice that arrives while
// a modal box is open is handled inside that box's loop, as on the platform.

#include <QObject>
#include <memory>

#include "core/shell/app.h"

class QSocketNotifier;

namespace tavio {
class UdevMonitor;
namespace sim {
class SimHidPort;
}
}  // namespace tavio

namespace tavio::qt {

// Notices of the simulated port. Plug and unplug notices are posted to the
// event loop; a unit that vanished in the middle of an exchange keeps its
// notice back until the event loop is about to wait again.
class SimNotices final : public NoticeRegistration {
 public:
  SimNotices(App& app, sim::SimHidPort& port) : app_(app), port_(port) {}
  ~SimNotices() override;

  bool Register() override;
  void Unregister() override;
  // Posts the notices the port kept back; runs whenever the event loop idles.
  void PostPendingNotices();

 private:
  App& app_;
  sim::SimHidPort& port_;
  // Posted notices are addressed to this object; dropping it drops them.
  std::unique_ptr<QObject> receiver_;
};

// Notices of the real system: the udev monitor's socket under a socket notifier.
class UdevNotices final : public NoticeRegistration {
 public:
  explicit UdevNotices(App& app);
  ~UdevNotices() override;

  bool Register() override;
  void Unregister() override;

 private:
  void ReadPending();

  App& app_;
  std::unique_ptr<UdevMonitor> monitor_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace tavio::qt
