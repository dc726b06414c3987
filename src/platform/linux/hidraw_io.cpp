#include "platform/linux/hidraw_io.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <vector>

namespace tavio {

bool WriteHidrawReport(int fd, bool uses_report_ids, std::span<const uint8_t> report, int& error) {
  if (report.empty()) {
    error = EINVAL;
    return false;
  }
  std::vector<uint8_t> as_report_zero;
  std::span<const uint8_t> data = report;
  if (!uses_report_ids && report[0] != 0) {
    as_report_zero.assign(report.begin(), report.end());
    as_report_zero[0] = 0;
    data = as_report_zero;
  }
  ssize_t written = 0;
  do {
    written = ::write(fd, data.data(), data.size());
  } while (written < 0 && errno == EINTR);
  if (written < 0) {
    error = errno;
    return false;
  }
  if (static_cast<size_t>(written) != data.size()) {
    error = EIO;
    return false;
  }
  return true;
}

HidReadStatus ReadHidrawReport(int fd, bool uses_report_ids, std::span<uint8_t> report, int timeout_ms,
                               int& error) {
  const size_t offset = uses_report_ids ? 0 : 1;
  if (report.size() <= offset) {
    error = EINVAL;
    return HidReadStatus::Failed;
  }

  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeout_ms, 0));
  pollfd watch{fd, POLLIN, 0};
  for (;;) {
    int wait_ms = -1;
    if (timeout_ms >= 0) {
      // A signal must not stretch the wait: retry with what is left.
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
      wait_ms = static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
    }
    watch.revents = 0;
    const int ready = ::poll(&watch, 1, wait_ms);
    if (ready > 0) break;
    if (ready == 0) {
      error = ETIMEDOUT;
      return HidReadStatus::Timeout;
    }
    if (errno != EINTR) {
      error = errno;
      return HidReadStatus::Failed;
    }
  }
  // hidraw signals an unplugged device this way, even with reports queued.
  if ((watch.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
    error = ENODEV;
    return HidReadStatus::Failed;
  }

  // One byte more than wanted, so that a longer report shows as longer
  // instead of being cut to fit; read() takes one report either way.
  const std::span<uint8_t> data = report.subspan(offset);
  std::vector<uint8_t> received(data.size() + 1);
  ssize_t got = 0;
  do {
    got = ::read(fd, received.data(), received.size());
  } while (got < 0 && errno == EINTR);
  if (got < 0) {
    error = errno;
    return HidReadStatus::Failed;
  }
  if (static_cast<size_t>(got) != data.size()) {
    error = EIO;
    return HidReadStatus::Failed;
  }
  if (offset == 1) report[0] = 0;
  std::copy_n(received.begin(), data.size(), data.begin());
  return HidReadStatus::Ok;
}

}  // namespace tavio
