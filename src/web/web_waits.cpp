#include "web/web_waits.h"

#include <emscripten.h>

// clang-format off
EM_ASYNC_JS(void, js_sleep, (int ms), { await TavioPage.sleep(ms); });
EM_ASYNC_JS(void, js_painted, (), { await TavioPage.painted(); });
EM_JS(void, js_rest_start, (int ms), { TavioPage.restStart(ms); });
EM_JS(void, js_rest_cancel, (), { TavioPage.restCancel(); });
EM_JS(int, js_storage_dirty, (), { return TavioPage.storageDirty() ? 1 : 0; });
EM_ASYNC_JS(int, js_persist, (), { return await TavioPage.persist() ? 1 : 0; });
// clang-format on

namespace tavio::web {

void PageSleeper::SleepMs(uint32_t ms) { js_sleep(static_cast<int>(ms)); }

void PageRestTimer::Restart(std::chrono::milliseconds rest, Elapsed elapsed) {
  elapsed_ = std::move(elapsed);
  pending_ = true;
  js_rest_start(static_cast<int>(rest.count()));
}

void PageRestTimer::Cancel() {
  pending_ = false;
  js_rest_cancel();
}

void PageRestTimer::Elapse() {
  if (!pending_) return;
  pending_ = false;
  // A copy: the handler may restart the timer.
  const Elapsed elapsed = elapsed_;
  if (elapsed) elapsed();
}

void AwaitFirstFrame() { js_painted(); }

bool PersistChanges() { return js_storage_dirty() == 0 || js_persist() != 0; }

bool PersistingPort::WriteReport(HidHandle handle, std::span<const uint8_t> report) {
  if (!PersistChanges()) return false;
  return inner_->WriteReport(handle, report);
}

}  // namespace tavio::web
