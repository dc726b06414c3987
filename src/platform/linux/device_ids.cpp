#include "platform/linux/device_ids.h"

namespace tavio {
namespace {

// One to `max_digits` hex digits, nothing else.
std::optional<uint32_t> ParseHex(std::string_view text, size_t max_digits) {
  if (text.empty() || text.size() > max_digits) return std::nullopt;
  uint32_t value = 0;
  for (char c : text) {
    uint32_t digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<uint32_t>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<uint32_t>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<uint32_t>(c - 'A' + 10);
    } else {
      return std::nullopt;
    }
    value = value * 16 + digit;
  }
  return value;
}

}  // namespace

std::optional<UsbIds> ParseHidId(std::string_view value) {
  const size_t first = value.find(':');
  if (first == std::string_view::npos) return std::nullopt;
  const size_t second = value.find(':', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  const auto bus = ParseHex(value.substr(0, first), 8);
  const auto vendor = ParseHex(value.substr(first + 1, second - first - 1), 8);
  const auto product = ParseHex(value.substr(second + 1), 8);
  if (!bus || !vendor || !product || *vendor > 0xFFFF || *product > 0xFFFF) return std::nullopt;
  return UsbIds{static_cast<uint16_t>(*vendor), static_cast<uint16_t>(*product)};
}

std::optional<uint16_t> ParseHexU16(std::string_view text) {
  const auto value = ParseHex(text, 4);
  if (!value) return std::nullopt;
  return static_cast<uint16_t>(*value);
}

std::optional<uint32_t> HidrawNumber(std::string_view path) {
  constexpr std::string_view kPrefix = "hidraw";
  const size_t slash = path.rfind('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (name.size() <= kPrefix.size() || name.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
  const std::string_view digits = name.substr(kPrefix.size());
  // More than nine digits cannot be a minor number and could overflow.
  if (digits.size() > 9) return std::nullopt;
  uint32_t number = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + static_cast<uint32_t>(c - '0');
  }
  return number;
}

}  // namespace tavio
