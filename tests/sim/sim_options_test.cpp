// Parsing "--simulate FAMILY[:MODEL[:VERSION]]" and the unit kind.

#include <gtest/gtest.h>

#include "sim/sim_options.h"

namespace tavio::sim {
namespace {

TEST(SimOptionsTest, EscSpecs) {
  struct Case {
    const char* text;
    std::optional<SimEscSpec> spec;
  };
  const Case cases[] = {
      {"BRENTA", SimEscSpec{200, 160, 0x0401}},
      {"brenta:200", SimEscSpec{200, 200, 0x0401}},
      {"Corvan:120:0x0400", SimEscSpec{300, 120, 0x0400}},
      {"ALDER", SimEscSpec{100, 160, 0x0104}},
      {"delmar-z:80:260", SimEscSpec{400, 80, 0x0104}},
      {"300", SimEscSpec{300, 160, 0x0401}},
      {"500:7:0X1a", SimEscSpec{500, 7, 0x001A}},
      {"4095:4095:0xFFFF", SimEscSpec{4095, 4095, 0xFFFF}},
      {"ALDER:0:0", SimEscSpec{100, 0, 0}},
      {"", std::nullopt},
      {"FOO", std::nullopt},
      {"0", std::nullopt},
      {"4096", std::nullopt},
      {"BRENTA:", std::nullopt},
      {"BRENTA:abc", std::nullopt},
      {"BRENTA:4096", std::nullopt},
      {"BRENTA:-1", std::nullopt},
      {"BRENTA:0x10", std::nullopt},
      {"BRENTA:160:", std::nullopt},
      {"BRENTA:160:0x", std::nullopt},
      {"BRENTA:160:0x10000", std::nullopt},
      {"BRENTA:160:65536", std::nullopt},
      {"BRENTA:160:0x1G", std::nullopt},
      {"BRENTA:160:1:2", std::nullopt},
      {" BRENTA", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::string error;
    const auto spec = ParseSimEscSpec(c.text, error);
    EXPECT_EQ(spec, c.spec);
    EXPECT_EQ(error.empty(), c.spec.has_value()) << error;
  }
}

TEST(SimOptionsTest, ErrorMessagesNameTheBadPart) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"FOO:1", "unknown ESC family 'FOO' (ALDER, BRENTA, CORVAN, DELMAR-Z or a number 1..4095)"},
      {"ALDER:x", "model number 'x' is not a decimal number 0..4095"},
      {"ALDER:1:0xZ", "parameter-set version '0xZ' is not a number 0..0xFFFF (hex with 0x, or decimal)"},
      {"ALDER:1:2:3", "'ALDER:1:2:3' has more than FAMILY:MODEL:VERSION"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(ParseSimEscSpec(c.text, error));
    EXPECT_EQ(error, c.message);
  }
}

TEST(SimOptionsTest, UnitKinds) {
  struct Case {
    const char* text;
    std::optional<uint16_t> product_id;
  };
  const Case cases[] = {
      {"LINKBOX", kProductLinkbox}, {"linkpuck", kProductLinkpuck}, {"LinkBox", kProductLinkbox},
      {"", kProductLinkbox},        {"LINKBOXX", std::nullopt},     {"2", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::string error;
    EXPECT_EQ(ParseSimUnitKind(c.text, error), c.product_id);
    EXPECT_EQ(error.empty(), c.product_id.has_value());
  }
  std::string error;
  ParseSimUnitKind("box", error);
  EXPECT_EQ(error, "unknown programming unit 'box' (LINKBOX or LINKPUCK)");
}

TEST(SimOptionsTest, ConfigCarriesTheSpec) {
  const SimUnitConfig config = MakeSimUnitConfig(SimEscSpec{400, 80, 0x0105}, kProductLinkpuck);
  EXPECT_EQ(config.product_id, kProductLinkpuck);
  EXPECT_EQ(config.family, 400);
  EXPECT_EQ(config.model_number, 80);
  EXPECT_EQ(config.param_version, 0x0105);
  EXPECT_EQ(config.unit_firmware_version, 0x00010300u);
  EXPECT_EQ(config.esc_state, kEscStateUpdatable);
}

}  // namespace
}  // namespace tavio::sim
