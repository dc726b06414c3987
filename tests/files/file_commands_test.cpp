// "Save file", "Load file" and "Store on ESC" over the whole program: the
// bytes in the file and in the ESC, the boxes, and what the image holds.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "support/app_harness.h"
#include "support/hex.h"

namespace tavio::test {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

std::string Utf8(const std::u8string& text) { return std::string(text.begin(), text.end()); }

// The names in a folder, as UTF-8, sorted.
std::vector<std::string> Entries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(Utf8(entry.path().filename().u8string()));
  std::sort(names.begin(), names.end());
  return names;
}

// Every box shown so far as "icon buttons [caption] text".
std::vector<std::string> Boxes(const AppHarness& h) {
  const char* icons[] = {"none", "information", "warning", "error"};
  const char* buttons[] = {"ok", "yes/no", "retry/cancel"};
  std::vector<std::string> out;
  for (const MessageBoxRequest& b : h.panel.boxes)
    out.push_back(std::string(icons[static_cast<int>(b.icon)]) + " " + buttons[static_cast<int>(b.buttons)] + " [" +
                  ToUtf8(b.caption) + "] " + ToUtf8(b.text));
  return out;
}

const std::string kSaved = "none ok [] Settings saved successfully!";
const std::string kNotValid =
    "warning retry/cancel [] The selected file is not a valid memory file, please choose a valid memory file!";
const std::string kNotCompatible =
    "warning retry/cancel [] The selected file is not compatible with the connected controller, please choose a "
    "valid memory file!";
using Texts = std::vector<std::string>;

// An ESC, the first two bytes of its files and the checksum its saves get.
struct Esc { uint16_t family, model, version; const char* family_bytes; std::optional<ChecksumSpec> seal; };
const Esc kAlder{100, 100, 0x0104, "64 00", ChecksumSpec{76, 0x4C}},
    kBrenta400{200, 160, 0x0400, "C8 00", ChecksumSpec{76, 0x4C}},
    kBrenta401{200, 200, 0x0401, "C8 00", ChecksumSpec{88, 0x58}},
    kCorvan401{300, 120, 0x0401, "2C 01", ChecksumSpec{88, 0x58}},
    kDelmarZ{400, 60, 0x0104, "90 01", ChecksumSpec{82, 0x54}}, kBrenta402{200, 160, 0x0402, "C8 00", std::nullopt},
    kUnknown{500, 7, 0x0401, "F4 01", std::nullopt};

class FileCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::path(::testing::TempDir()) /
             (std::string("files_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }
  std::string Path(const std::string& name) const { return (folder / name).string(); }

  static void Connect(AppHarness& h, const Esc& esc) {
    h.AddUnit(esc.family, esc.model, esc.version);
    h.Start();
  }
  // Clicks Save or Load with the path as the file dialog's answer; the boxes shown.
  static Texts Click(AppHarness& h, ControlId button, const std::string& path) {
    h.panel.save_files = h.panel.open_files = {path};
    h.panel.boxes.clear();
    h.panel.UserClicks(button);
    return Boxes(h);
  }

  fs::path folder;
};

TEST_F(FileCommandTest, SaveWritesTheSealedImageAndOnlyItsOwnIntactFileLoads) {
  struct Case { const char* name; Esc saved_on, loaded_on; int tampered; std::string refusal; };
  const Case cases[] = {
      {"ALDER", kAlder, kAlder, -1, ""},
      {"BRENTA 0x0400", kBrenta400, kBrenta400, -1, ""},
      {"CORVAN 0x0401", kCorvan401, kCorvan401, -1, ""},
      {"DELMAR-Z", kDelmarZ, kDelmarZ, -1, ""},
      // No checksum rule: saved unsealed, and no file loads.
      {"BRENTA 0x0402", kBrenta402, kBrenta402, -1, kNotValid},
      {"unknown family", kUnknown, kUnknown, -1, kNotValid},
      // An image byte flipped inside the checksummed prefix, or behind the checksum.
      {"ALDER 0x4B", kAlder, kAlder, 0x4B, kNotValid},
      {"ALDER 0x50", kAlder, kAlder, 0x50, ""},
      {"DELMAR-Z 0x51", kDelmarZ, kDelmarZ, 0x51, kNotValid},
      {"DELMAR-Z gap 0x52", kDelmarZ, kDelmarZ, 0x52, ""},
      // The checksum goes by the file's family and the connected version.
      {"DELMAR-Z file on ALDER", kDelmarZ, kAlder, -1, kNotCompatible},
      {"CORVAN file on BRENTA", kCorvan401, kBrenta401, -1, kNotCompatible},
      {"BRENTA 0x0400 file on BRENTA 0x0401", kBrenta400, kBrenta401, -1, kNotValid},
      {"BRENTA 0x0401 file on BRENTA 0x0400", kBrenta401, kBrenta400, -1, kNotValid},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    {
      AppHarness saver;
      Connect(saver, c.saved_on);
      // An edit, and bytes behind every block: all 92 bytes go into the file.
      PutU16(saver.app.image, 0x12, 1234);
      for (size_t i = 0x5A; i < kImageSize; ++i) saver.app.image.bytes[i] = static_cast<uint8_t>(i);
      ConfigImage sealed = saver.app.image;
      if (c.saved_on.seal) SealImage(sealed, *c.saved_on.seal);
      WriteBytes(Path("file.bin"), std::vector<uint8_t>(300, 0x55));  // an older, longer file
      EXPECT_EQ(Click(saver, ctl::kSaveFile, Path("file.bin")), Texts{kSaved});
      EXPECT_EQ(ToHex(ReadBytes(Path("file.bin"))), std::string(c.saved_on.family_bytes) + " " + ToHex(sealed.bytes));
      EXPECT_EQ(saver.app.image, sealed);  // the window's image carries the saved checksum
    }
    std::vector<uint8_t> bytes = ReadBytes(Path("file.bin"));
    if (c.tampered >= 0) bytes[c.tampered + 2] ^= 0x40;
    WriteBytes(Path("file.bin"), bytes);
    AppHarness h;
    Connect(h, c.loaded_on);
    const ConfigImage before = h.app.image;
    h.panel.ClearLog();

    EXPECT_EQ(Click(h, ctl::kLoadFile, Path("file.bin")), c.refusal.empty() ? Texts{} : Texts{c.refusal});
    EXPECT_EQ(ToHex(h.app.image.bytes), c.refusal.empty() ? ToHex(std::span(bytes).subspan(2)) : ToHex(before.bytes));
    // Loaded: the image went to the controls, then the title was refreshed; refused: nothing refreshed.
    const int shown = c.refusal.empty() ? h.panel.FindCall("SetText 2033 1234ms") : -1;
    EXPECT_EQ(c.refusal.empty(), shown >= 0);
    EXPECT_EQ(h.panel.FindCall("SetTitle") > shown, c.refusal.empty());
  }
}

TEST_F(FileCommandTest, ShortOrOverlongBlockFilesAreRefusedAndRetryNests) {
  AppHarness h;
  Connect(h, kCorvan401);
  ASSERT_EQ(Click(h, ctl::kSaveFile, Path("good.bin")), Texts{kSaved});
  const std::vector<uint8_t> good = ReadBytes(Path("good.bin"));
  std::vector<uint8_t> block93 = good, longer = good;
  block93[2] = 93;
  longer.insert(longer.end(), {1, 2, 3});
  struct Case { const char* name; std::vector<uint8_t> bytes; bool loads; };
  const Case cases[] = {
      {"empty", {}, false},
      {"93 bytes", std::vector<uint8_t>(good.begin(), good.begin() + 93), false},
      {"block length 93", block93, false},
      {"longer than 94 bytes: the rest is ignored", longer, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(Path("odd.bin"), c.bytes);
    PutU16(h.app.image, 0x12, 777);
    const ConfigImage before = h.app.image;
    EXPECT_EQ(Click(h, ctl::kLoadFile, Path("odd.bin")), c.loads ? Texts{} : Texts{kNotValid});
    EXPECT_EQ(ToHex(h.app.image.bytes), c.loads ? ToHex(std::span(good).subspan(2)) : ToHex(before.bytes));
  }
  // Retry opens a new dialog inside the old one; Cancel at the fourth keeps the image.
  PutU16(h.app.image, 0x12, 4321);
  const ConfigImage edited = h.app.image;
  h.panel.ClearLog();
  h.panel.box_answers = {BoxAnswer::Retry, BoxAnswer::Retry, BoxAnswer::Retry, BoxAnswer::Cancel};
  h.panel.open_files = {Path("missing.bin"), Path("missing.bin"), Path("missing.bin"), Path("missing.bin")};
  h.panel.UserClicks(ctl::kLoadFile);
  const std::string box = "Box warning [] " + kNotValid.substr(kNotValid.find("] ") + 2);
  // The image edited behind the window's back differs from the ESC's: the
  // command ends with the mark on "Store on ESC".
  EXPECT_EQ(h.panel.calls, (Texts{"ChooseOpenFile", box, "ChooseOpenFile", box, "ChooseOpenFile", box,
                                  "ChooseOpenFile", box, "MarkUnstored 1"}));
  EXPECT_EQ(h.app.image, edited);
}

TEST_F(FileCommandTest, SaveAndLoadUtf8AndLongNamesButChangeNothingWhereNoFileFits) {
  AppHarness h;
  Connect(h, kAlder);
  // "Regler-Einstellung äöü ß €.bin" in UTF-8 and the 255 characters most file systems take save and
  // load; a missing folder or a folder in the way fail and leave everything as it was.
  const std::pair<std::string, bool> targets[] = {
      {"Regler-Einstellung \xC3\xA4\xC3\xB6\xC3\xBC \xC3\x9F \xE2\x82\xAC.bin", true},
      {std::string(251, 'n') + ".bin", true}, {"missing/x.bin", false}, {"taken", false}};
  for (const auto& [name, saves] : targets) {
    SCOPED_TRACE(name);
    fs::remove_all(folder);
    fs::create_directories(folder / "taken");
    WriteBytes(Path("taken/keep.bin"), {9, 8, 7});
    const std::string path = Utf8(folder.u8string()) + "/" + name;
    // No file stood there before: the box does not call anything unchanged.
    EXPECT_EQ(Click(h, ctl::kSaveFile, path),
              Texts{saves ? kSaved : "error ok [] The settings could not be saved to " + path +
                                         ". The settings were NOT saved."});
    EXPECT_EQ(Click(h, ctl::kLoadFile, path), saves ? Texts{} : Texts{kNotValid});
    EXPECT_EQ(Entries(folder), (saves ? Texts{name, "taken"} : Texts{"taken"}));
    EXPECT_EQ(ReadBytes(Path("taken/keep.bin")), (std::vector<uint8_t>{9, 8, 7}));
  }
}

TEST(StoreOnEsc, SealsByTheStoreRuleAndTheEscHoldsTheBlock) {
  struct Case { const char* name; uint16_t family, version, length; std::optional<ChecksumSpec> seal; bool unplugged; };
  const Case cases[] = {
      {"ALDER", 100, 0x0104, 80, ChecksumSpec{76, 0x4C}, false},
      {"CORVAN 0x0402", 300, 0x0402, 92, ChecksumSpec{88, 0x58}, false},
      {"DELMAR-Z", 400, 0x0104, 88, ChecksumSpec{82, 0x54}, false},
      {"unknown family", 500, 0x0401, 80, std::nullopt, false},
      {"not connected", 200, 0x0401, 92, std::nullopt, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AppHarness h;
    sim::SimUnit& unit = h.AddUnit(c.family, 160, c.version);
    h.Start();
    ASSERT_EQ(BlockLength(h.app.image), c.length);
    if (c.unplugged) h.port.Unplug(kHarnessUnitPath);
    PutU16(h.app.image, 0x12, 1234);
    PutU32(h.app.image, 0x4C, 0x11223344);  // a stale checksum or warning values
    ConfigImage expected = h.app.image;
    if (c.seal) SealImage(expected, *c.seal);
    const std::string eeprom_before = ToHex(unit.Eeprom().first(c.length));
    h.port.ClearCallLog();
    h.panel.ClearLog();
    h.panel.boxes.clear();
    h.panel.UserClicks(ctl::kStore);

    EXPECT_EQ(ToHex(unit.Eeprom().first(c.length)),
              c.unplugged ? eeprom_before : ToHex(std::span(expected.bytes).first(c.length)));
    EXPECT_EQ(h.port.CallLog().empty(), c.unplugged);  // nothing is sent without a unit
    // Not connected: message 20006, then the link's general error message.
    EXPECT_EQ(Boxes(h).front(), c.unplugged ? "error ok [Communication error] The USB Connection between programming "
                                              "unit and PC was lost. To program the ESC do the following:"
                                            : "information ok [] The configuration parameters have been transferred "
                                              "to the ESC successfully");
    EXPECT_EQ(Boxes(h).size(), c.unplugged ? 2u : 1u);
    if (c.unplugged) continue;
    EXPECT_EQ(h.app.image, expected);
    EXPECT_EQ(h.panel.FindCall("SetTitle"), -1);  // the window is left as it was
  }
}

}  // namespace
}  // namespace tavio::test
