// UTF-8 paths of the core against the UTF-16 paths of Windows.

#include "platform/windows/wide_text.h"

#include <gtest/gtest.h>

namespace tavio {
namespace {

struct RoundTrip {
  const char* name;
  std::string utf8;
  std::wstring wide;
};

TEST(WideText, ConvertsBothWays) {
  const RoundTrip cases[] = {
      {"empty", "", L""},
      {"device path",
       "\\\\?\\hid#vid_7a3e&pid_0002#7&1a2b3c&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}",
       L"\\\\?\\hid#vid_7a3e&pid_0002#7&1a2b3c&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}"},
      {"two-byte characters", "\xC3\xBC\xC3\x9F", std::wstring{0x00FC, 0x00DF}},
      {"three-byte character", "\xE2\x82\xAC", std::wstring{0x20AC}},
      {"outside the BMP: a surrogate pair", "a\xF0\x9F\x98\x80z", std::wstring{L'a', 0xD83D, 0xDE00, L'z'}},
  };
  for (const RoundTrip& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<std::wstring> wide = Utf8ToWide(c.utf8);
    ASSERT_TRUE(wide.has_value());
    EXPECT_EQ(*wide, c.wide);
    const std::optional<std::string> utf8 = WideToUtf8(c.wide);
    ASSERT_TRUE(utf8.has_value());
    EXPECT_EQ(*utf8, c.utf8);
  }
}

TEST(WideText, RefusesInvalidUtf8) {
  const std::string cases[] = {
      "\xFF",              // never a UTF-8 byte
      "ab\xC3",            // sequence cut short
      "\xC0\xAF",          // overlong '/'
      "\xED\xA0\x80",      // an encoded surrogate
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(text.size());
    EXPECT_FALSE(Utf8ToWide(text).has_value());
  }
}

TEST(WideText, UnpairedSurrogateBecomesReplacementCharacter) {
  const std::optional<std::string> utf8 = WideToUtf8(std::wstring{L'a', 0xD800, L'b'});
  ASSERT_TRUE(utf8.has_value());
  EXPECT_EQ(*utf8, "a\xEF\xBF\xBD" "b");
}

}  // namespace
}  // namespace tavio
