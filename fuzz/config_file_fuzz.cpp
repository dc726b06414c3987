// Any bytes as a .bin file, loaded against any connected identity: the load
// must never crash or touch memory outside its buffers, and a refused file
// must leave the in-memory image exactly as it was.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/shell/commands.h"
#include "core/files/config_file.h"
#include "fakes.h"

namespace {

const std::string& TempPath() {
  static const std::string path = "/tmp/tavio-fuzz-" + std::to_string(getpid()) + ".bin";
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavio;
  if (size < 3) return 0;
  constexpr uint16_t kFamilies[] = {kFamilyAlder, kFamilyBrenta, kFamilyCorvan, kFamilyDelmarZ, 500, 0};
  const uint16_t family = kFamilies[data[0] % 6];
  const auto version = static_cast<uint16_t>(data[1] | (data[2] << 8));

  std::FILE* file = std::fopen(TempPath().c_str(), "wb");
  if (file == nullptr) std::abort();
  std::fwrite(data + 3, 1, size - 3, file);
  std::fclose(file);

  fuzz::NullPanel panel;
  panel.open_file = TempPath();
  App app;
  app.panel = &panel;
  PutU32(app.link.info.esc_identity, 0, MakeIdentityWord(family, 160));
  PutU16(app.link.info.esc_info_block, 2, version);
  for (size_t i = 0; i < kImageSize; ++i) app.image.bytes[i] = static_cast<uint8_t>(0xA5 ^ i);
  const ConfigImage before = app.image;

  LoadConfigFileCommand(app);

  ConfigFile loaded;
  const bool accepted = ReadConfigFile(TempPath(), loaded) == FileReadStatus::Ok &&
                        CheckConfigFile(loaded, family, version) == FileCheck::Valid;
  if (accepted ? !(app.image == loaded.image) : !(app.image == before)) std::abort();
  if (!accepted && panel.boxes != 1) std::abort();  // one refusal, answered Cancel
  return 0;
}
