// Factory default sets per family, model type and model number, which codes
// the dialogs confirm, and "Load defaults" over the whole program.
//
// The expected image is the start image with exactly the listed fields and
// flag bits changed, then sealed; every set runs on a patterned image and on
// its complement, so each byte and kept flag bit it must not write is
// proven untouched in both states.

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/files/defaults.h"
#include "support/app_harness.h"
#include "support/hex.h"

namespace tavio::test {
namespace {

struct Write { uint8_t offset; uint32_t value; uint8_t width = 2; };
struct Change { std::vector<Write> writes; uint32_t set = 0, clear = 0; };

uint32_t Bits(std::initializer_list<unsigned> bits, unsigned first = 0, unsigned last = 0) {
  uint32_t mask = 0;
  for (unsigned b : bits) mask |= 1u << b;
  for (unsigned b = first; b < last; ++b) mask |= 1u << b;  // the range first..last-1
  return mask;
}

// Base values and base flags of each set.
const Change kAlderBase = {
    {{0x00, 80}, {0x02, 260}, {0x08, 800}, {0x0A, 3000}, {0x0C, 2300}, {0x0E, 800}, {0x10, 5600}, {0x12, 2000},
     {0x14, 5}, {0x1C, 409}, {0x1E, 409}, {0x20, 245}, {0x22, 500}, {0x24, 200}, {0x26, 12000}, {0x28, 4}, {0x2A, 4},
     {0x2C, 128}, {0x30, 30000, 4}, {0x34, 500}, {0x36, 5000}, {0x38, 10000}, {0x3A, 204}, {0x3C, 100}},
    Bits({0, 2, 4, 8, 9, 11}), Bits({1, 3, 5, 6, 7, 10, 12})};
const Change kBrentaCorvanBase = {
    {{0x00, 80}, {0x08, 800}, {0x0A, 3000}, {0x0C, 2300}, {0x0E, 1000}, {0x10, 5600}, {0x12, 2000}, {0x14, 5},
     {0x1C, 327}, {0x1E, 204}, {0x20, 40}, {0x22, 4000}, {0x24, 200}, {0x26, 12000}, {0x28, 4}, {0x2A, 4}, {0x2C, 0},
     {0x30, 30000, 4}, {0x34, 300}, {0x3A, 81}, {0x3C, 100}, {0x3E, 100}, {0x40, 0}, {0x42, 4096}, {0x44, 24000, 4},
     {0x48, 2}, {0x4A, 100}},
    Bits({0, 2, 4, 8, 9, 11, 16}), Bits({1, 3, 5, 6, 7, 10, 17, 18, 19}, 12, 16)};
const Change kDelmarZBase = {
    {{0x00, 88}, {0x02, 260}, {0x08, 800}, {0x0A, 3000}, {0x0C, 2300}, {0x0E, 800}, {0x12, 2000}, {0x14, 5},
     {0x1C, 204}, {0x1E, 204}, {0x20, 245}, {0x22, 100}, {0x24, 100}, {0x26, 12000}, {0x28, 4}, {0x2A, 4}, {0x2C, 128},
     {0x30, 20000, 4}, {0x34, 100}, {0x36, 2575}, {0x38, 5500}, {0x3A, 204}, {0x3C, 100}, {0x3E, 0}, {0x40, 14},
     {0x42, 500}, {0x44, 500}, {0x4A, 3500}, {0x4C, 68}, {0x4E, 90}, {0x50, 0}},
    Bits({2, 9, 14}), Bits({0, 1, 10, 11, 12, 13}, 3, 9)};

// Model-type changes applied after the base; a code missing here is one the set lacks.
const Change kResetMode1 = {{{0x16, 0xFFFF}, {0x18, 0xFFFF}, {0x1A, 0xFFFF}}, Bits({11})};
const std::map<int, Change> kAlderCodes = {
    {1, {{{0x0E, 400}}}}, {2, {}}, {3, {{{0x20, 2048}}, Bits({5, 12}), Bits({8})}}, {4, {}}, {9, kResetMode1}};
const std::map<int, Change> kBrentaCorvanCodes = {
    {1, {{{0x0E, 500}, {0x22, 1000}}}}, {2, {{{0x22, 1000}}}},
    {3, {{{0x22, 8000}, {0x24, 4000}, {0x3A, 40}, {0x1C, 1365}, {0x1E, 0}, {0x20, 1365}}, Bits({5, 12, 14}),
         Bits({0, 8})}},
    {4, {{{0x22, 200}, {0x24, 100}}, Bits({1, 13, 15, 17})}}, {9, kResetMode1}};
const std::map<int, Change> kDelmarZCodes = {
    {6, {}}, {7, {{}, Bits({13})}}, {8, {{}, Bits({10})}}, {9, {{{0x16, 1000}, {0x18, 1000}, {0x1A, 2000}}}}};

// A set's operation and the tables it must follow; `extended`: the warning fields of the 92-byte sets.
struct DefaultSet { const char* name; std::function<bool(ConfigImage&, int)> apply; const Change& base;
                    const std::map<int, Change>& codes; std::vector<Write> extended; ChecksumSpec seal; };

DefaultSet Extended(const char* name, bool (*apply)(ConfigImage&, int, uint16_t), uint16_t model, uint16_t motor_a,
                    uint16_t bec_ma) {
  return {name, [=](ConfigImage& image, int code) { return apply(image, code, model); }, kBrentaCorvanBase,
          kBrentaCorvanCodes,
          {{0x00, 92}, {0x4C, 3500}, {0x4E, motor_a}, {0x50, 90}, {0x52, 90}, {0x54, bec_ma}, {0x56, 0}}, {88, 0x58}};
}

const DefaultSet kSets[] = {
    {"ALDER", ApplyAlderDefaults, kAlderBase, kAlderCodes, {}, {76, 0x4C}},
    {"BRENTA/CORVAN base", ApplyBaseDefaults, kBrentaCorvanBase, kBrentaCorvanCodes, {}, {76, 0x4C}},
    {"DELMAR-Z", ApplyDelmarZDefaults, kDelmarZBase, kDelmarZCodes, {}, {82, 0x54}},
    Extended("BRENTA model 200", ApplyExtendedBrentaDefaults, 200, 250, 12500),
    Extended("BRENTA model 160", ApplyExtendedBrentaDefaults, 160, 200, 8750),
    Extended("CORVAN model 120", ApplyExtendedCorvanDefaults, 120, 150, 8750),
    Extended("CORVAN model 160", ApplyExtendedCorvanDefaults, 160, 100, 8750),
};

ConfigImage Expected(ConfigImage image, const DefaultSet& set, int code) {
  for (const Change* change : {&set.base, &set.codes.at(code)}) {
    for (const Write& w : change->writes) {
      w.width == 4 ? PutU32(image, w.offset, w.value) : PutU16(image, w.offset, static_cast<uint16_t>(w.value));
    }
    SetFlags(image, (Flags(image) & ~change->clear) | change->set);
  }
  for (const Write& w : set.extended) PutU16(image, w.offset, static_cast<uint16_t>(w.value));
  SealImage(image, set.seal);
  return image;
}

TEST(DefaultSets, EveryCodeFieldByFieldAndCodesASetLacksChangeNothing) {
  ConfigImage pattern, complement;
  for (size_t i = 0; i < kImageSize; ++i) {
    pattern.bytes[i] = static_cast<uint8_t>(i * 37 + 11);
    complement.bytes[i] = static_cast<uint8_t>(~pattern.bytes[i]);
  }
  for (const DefaultSet& set : kSets) {
    for (int code = -1; code <= 10; ++code) {
      for (const ConfigImage& start : {pattern, complement}) {
        SCOPED_TRACE(testing::Message() << set.name << " code " << code << " from " << ToHex(start.bytes));
        ConfigImage image = start;
        const bool has = set.codes.count(code) != 0;
        EXPECT_EQ(set.apply(image, code), has);
        EXPECT_EQ(ToHex(image.bytes), ToHex((has ? Expected(start, set, code) : start).bytes));
      }
    }
  }
}

TEST(DefaultsDialog, WhichCodesCanBeConfirmed) {
  const std::pair<uint16_t, std::set<int>> cases[] = {
      {100, {1, 2, 3, 9}}, {200, {1, 2, 3, 4, 9}}, {300, {1, 2, 3, 4, 9}}, {400, {6, 7, 8, 9}}, {500, {1, 2, 3, 4, 9}}};
  for (const auto& [family, codes] : cases)
    for (int code = -1; code <= 11; ++code)
      EXPECT_EQ(DefaultsDialogCanConfirm(family, code), codes.count(code) == 1) << family << " code " << code;
}

TEST(LoadDefaultsCommand, AppliesTheConnectedEscsSetOrNothing) {
  // `set` nullptr: the image stays as it was; `refreshed`: the window is refreshed anyway.
  struct Case { const char* name; uint16_t family, model, version; int answer, dialog; const DefaultSet* set;
                bool refreshed; };
  const Case cases[] = {
      {"ALDER helicopter", 100, 160, 0x0104, 3, 101, &kSets[0], true},
      {"BRENTA 0x0400 sail plane", 200, 200, 0x0400, 1, 101, &kSets[1], true},
      {"CORVAN 0x0400 RC car", 300, 120, 0x0400, 4, 101, &kSets[1], true},
      {"DELMAR-Z reset", 400, 60, 0x0104, 9, 102, &kSets[2], true},
      {"BRENTA 200 at 0x0401 sail plane", 200, 200, 0x0401, 1, 101, &kSets[3], true},
      {"BRENTA 160 at 0x0402 reset", 200, 160, 0x0402, 9, 101, &kSets[4], true},
      {"CORVAN 120 at 0x0401 sports plane", 300, 120, 0x0401, 2, 101, &kSets[5], true},
      {"CORVAN 160 at 0x0402 helicopter", 300, 160, 0x0402, 3, 101, &kSets[6], true},
      {"unknown family: no set, but refreshed", 500, 7, 0x0401, 1, 101, nullptr, true},
      {"ALDER cancelled", 100, 160, 0x0104, 0, 101, nullptr, false},
      {"ALDER RC car", 100, 160, 0x0104, 4, 101, nullptr, false},
      {"DELMAR-Z sail plane", 400, 60, 0x0104, 1, 102, nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AppHarness h;
    h.AddUnit(c.family, c.model, c.version);
    h.Start();
    const ConfigImage before = h.app.image;
    h.panel.ClearLog();
    h.panel.defaults_answers = {c.answer};
    h.panel.UserClicks(ctl::kLoadDefaults);

    EXPECT_EQ(ToHex(h.app.image.bytes), ToHex((c.set ? Expected(before, *c.set, c.answer) : before).bytes));
    EXPECT_EQ(h.panel.calls.front(), "RunDefaultsDialog " + std::to_string(c.dialog) + " " + std::to_string(c.family));
    EXPECT_EQ(h.panel.calls.size() > 1, c.refreshed);
    if (!c.refreshed) continue;
    // The image goes to the controls, then the title is refreshed.
    const int shown = c.set ? h.panel.FindCall("SetText 2033 2000ms") : 0;
    EXPECT_GE(shown, 0);
    EXPECT_GT(h.panel.FindCall("SetTitle"), shown);
    EXPECT_TRUE(h.panel.boxes.empty());
  }
}

}  // namespace
}  // namespace tavio::test
