// Any text typed into any numeric field, for any family, version and model:
// the commit must never crash, must leave a refused entry's image alone, and
// must show an accepted value as the field formats what it stored. Leaving
// the field with that text stores what it shows ("5.04" in the BEC voltage
// shows 5.0V and stores 5.0 V once committed again), and from there on
// nothing changes.

#include <algorithm>
#include <cstdlib>

#include "core/editors/field_rules.h"
#include "core/model/family.h"
#include "core/shell/display.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavio;
  if (size < 6 + kImageSize) return 0;
  const auto ids = NumericFieldIds();
  const ControlId id = ids[data[0] % ids.size()];
  constexpr uint16_t kFamilies[] = {kFamilyAlder, kFamilyBrenta, kFamilyCorvan, kFamilyDelmarZ, 500};
  EditContext context;
  context.family = kFamilies[data[1] % 5];
  context.param_version = static_cast<uint16_t>(data[2] | (data[3] << 8));
  context.model_number = static_cast<uint16_t>((data[4] | (data[5] << 8)) & 0xFFF);
  ConfigImage image;
  std::copy_n(data + 6, kImageSize, image.bytes.begin());
  data += 6 + kImageSize;
  size -= 6 + kImageSize;

  Text entry;
  for (size_t i = 0; i + 1 < size; i += 2) entry.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));

  const CommitResult first = CommitField(id, entry, image, context);
  if (first.status != CommitStatus::Accepted && !(first.image == image)) std::abort();
  // A stored or refused value is shown canonically; only an entry with nowhere
  // to go keeps the typed text.
  if (first.status != CommitStatus::NotStored && first.text.size() > 31) std::abort();
  if (first.status == CommitStatus::Accepted) {
    const auto layout = SelectLayout(context.family, context.param_version);
    if (!layout || FieldText(id, *layout, first.image) != first.text) std::abort();
    const CommitResult again = CommitField(id, first.text, first.image, context);
    if (!again.accepted() || again.text != first.text || FieldText(id, *layout, again.image) != first.text) {
      std::abort();
    }
    const CommitResult settled = CommitField(id, again.text, again.image, context);
    if (!settled.accepted() || !(settled.image == again.image) || settled.text != first.text) std::abort();
  }
  return 0;
}
