// Family code and model number from the identity word, family names.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "core/model/family.h"

namespace tavio {
namespace {

TEST(Family, CodeAndModelFromIdentityWord) {
  struct Case {
    uint32_t identity;
    uint16_t family;
    uint16_t model;
  };
  const Case cases[] = {
      {0x00000000, 0, 0},
      {0x000640A0, 100, 160},
      {0x000C80C8, 200, 200},
      {0x0012C078, 300, 120},
      {0x00190050, 400, 80},
      // Bits 24..31 belong to neither.
      {0xFF0C80C8, 200, 200},
      {0x5A12C078, 300, 120},
      {0xFF000000, 0, 0},
      {0x00FFFFFF, 0xFFF, 0xFFF},
      {0x00001FFF, 1, 0xFFF},
      {0x00FFF000, 0xFFF, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.identity);
    EXPECT_EQ(FamilyCode(c.identity), c.family);
    EXPECT_EQ(ModelNumber(c.identity), c.model);
  }
}

TEST(Family, Names) {
  struct Case {
    uint16_t family;
    const char* name;
  };
  const Case cases[] = {
      {100, "ALDER"}, {200, "BRENTA"}, {300, "CORVAN"}, {400, "DELMAR-Z"},
      {0, ""},        {500, ""},       {99, ""},        {101, ""},        {4095, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FamilyName(c.family), c.name) << c.family;
  }
}

TEST(Family, ParseNamesAndNumbers) {
  struct Case {
    const char* text;
    std::optional<uint16_t> family;
  };
  const std::optional<uint16_t> rejected;
  const Case cases[] = {
      {"ALDER", 100},     {"alder", 100},     {"Alder", 100},    {"brenta", 200},
      {"BRENTA", 200},    {"CorVan", 300},    {"delmar-z", 400}, {"DELMAR-Z", 400},
      {"dElMaR-z", 400},  {"100", 100},       {"200", 200},      {"300", 300},
      {"400", 400},       {"500", 500},       {"1", 1},          {"4095", 4095},
      {"4096", rejected}, {"0", rejected},    {"", rejected},    {"delmar", rejected},
      {"delmarz", rejected}, {"ALDERX", rejected}, {" alder", rejected}, {"alder ", rejected},
      {"12a", rejected},  {"-1", rejected},   {"+200", rejected}, {" 200", rejected},
      {"200 ", rejected}, {"0x64", rejected}, {"99999999999", rejected},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseFamily(c.text), c.family) << '"' << c.text << '"';
  }
}

}  // namespace
}  // namespace tavio
