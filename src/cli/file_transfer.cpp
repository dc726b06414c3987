#include <algorithm>
#include <ostream>
#include <vector>

#include "cli/file_commands.h"
#include "cli/image_report.h"
#include "core/model/family.h"

namespace tavio::cli {

std::string FamilyText(uint16_t family) {
  const std::string_view name = FamilyName(family);
  return name.empty() ? "family " + std::to_string(family) : std::string(name);
}

bool SaveForConnectedEsc(Context& context, const DeviceInfo& info, ConfigImage& image,
                         const std::string& path) {
  const uint16_t family = ConnectedFamily(info);
  if (const auto spec = SaveChecksum(family, EscParamVersion(info))) SealImage(image, *spec);
  std::string error;
  if (!WriteConfigFile(path, family, image, error)) {
    context.err << ToUtf8(FormatPattern(LoadString(Language::English, sid::kFileSaveFailed), path.c_str()))
                << "\n(" << error << ")\n";
    return false;
  }
  context.out << Message(sid::kFileSaved) << " (" << path << ")\n";
  return true;
}

bool StoreAndVerify(Context& context, Device& device, ConfigImage& image) {
  const DeviceInfo info = device.link.info;
  if (const auto spec = StoreChecksum(ConnectedFamily(info), EscParamVersion(info))) SealImage(image, *spec);
  if (!device.WriteBlock(context, image)) return false;

  ConfigImage back;
  if (!device.ReadBlock(context, back)) {
    context.err << "tavio-cli: the block was written but could not be read back for checking\n";
    return false;
  }
  const size_t length = std::min<size_t>(BlockLength(image), kImageSize);
  std::vector<std::string> differing;
  for (size_t i = 0; i < length; ++i) {
    if (image.bytes[i] != back.bytes[i]) differing.push_back(HexValue(static_cast<uint32_t>(i), 2));
  }
  if (!differing.empty()) {
    context.err << "tavio-cli: the ESC reads back other bytes than were written, at offset";
    context.err << (differing.size() > 1 ? "s" : "");
    for (size_t i = 0; i < differing.size(); ++i) context.err << (i == 0 ? " " : ", ") << differing[i];
    context.err << "\n";
    return false;
  }
  context.out << Message(sid::kStoreSucceeded) << "\n";
  context.out << "Read back and compared: " << length << " bytes identical.\n";
  return true;
}

bool ReadFileForInspection(Context& context, const std::string& path, ConfigFile& file) {
  switch (ReadWholeConfigFile(path, file)) {
    case FileReadStatus::Ok: return true;
    case FileReadStatus::TooShort:
      context.err << "tavio-cli: " << path << " is shorter than a configuration file (" << kConfigFileSize
                  << " bytes)\n";
      return false;
    default:
      context.err << "tavio-cli: cannot read " << path << "\n";
      return false;
  }
}

}  // namespace tavio::cli
