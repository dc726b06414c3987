// The window and an ESC's length word. Above 92 but not 0xFFFF: the window
// connects (the identity gives the layout), offers the newest backup or
// points to a file or the defaults, and a store goes on without a backup
// after saying so; nothing past the first 4 bytes of such a block is ever
// read. Another length of its own layout: never stored, never offered.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/files/backups.h"
#include "link/sim_link_fixture.h"
#include "support/app_harness.h"

namespace tavio::test {
namespace {

std::string U8(const Text& text) { return ToUtf8(text); }

// The ReadMemory requests of the ESC's block (not of the info block), as
// "address+length".
std::vector<std::string> BlockReads(const sim::SimUnit& unit) {
  std::vector<std::string> out;
  for (const sim::TranscriptEntry& e : unit.Transcript()) {
    if (e.direction != sim::ReportDirection::ToUnit || e.command != cmd::kReadMemory) continue;
    const uint32_t address = GetU32(e.bytes, 8);
    if (address < 0x100) out.push_back(std::to_string(address) + "+" + std::to_string(GetU32(e.bytes, 4)));
  }
  return out;
}

const char kOffer[] =
    "The configuration of the ESC cannot be read (its length word is wrong). Restore the newest backup of this ESC "
    "family and model?\r\n\r\n";
const char kNoBackup[] =
    "The configuration of the ESC cannot be read (its length word is wrong), and there is no backup of this ESC "
    "family and model. Load a configuration file or a default set, then store it on the ESC.";
const char kNotBackedUp[] =
    "The configuration the ESC holds cannot be read (its length word is wrong), so it cannot be backed up. The store "
    "goes on without a backup.";
const char kStored[] = "The configuration parameters have been transferred to the ESC successfully";

TEST(Unreadable, TheWindowConnectsOffersABackupAndStoresWithoutOne) {
  const struct {
    const char* name;
    uint16_t length_word;
    bool backup;
    BoxAnswer answer;
  } cases[] = {
      {"backup, Yes", 200, true, BoxAnswer::Yes},
      {"backup, No", 0x0100, true, BoxAnswer::No},
      {"no backup", 0xFFFE, false, BoxAnswer::Ok},
      {"one past the image", 93, false, BoxAnswer::Ok},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AppHarness h;
    sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
    const std::string folder = h.data_home.backups().string();
    ConfigImage saved;
    std::copy_n(unit.Eeprom().begin(), kImageSize, saved.bytes.begin());
    PutU16(saved, 0x12, 1234);
    SealImage(saved, kChecksum88);
    if (c.backup) {
      ASSERT_EQ(BackUpEscBlock(folder, kFamilyBrenta, 160, 0x0401, saved, 2000).status, BackupStatus::Written);
    }
    unit.SetBlockLengthWord(c.length_word);
    h.panel.box_answers = {c.answer};
    h.Start();

    EXPECT_TRUE(IsConnected(h.app.link));
    EXPECT_EQ(U8(h.panel.title), "TAVIO (Version 01.02.00): Connected with BRENTA 160");
    for (ControlId id : {ctl::kStore, ctl::kLoadFile, ctl::kLoadDefaults}) EXPECT_TRUE(h.panel.IsEnabled(id)) << id;
    ASSERT_GE(h.panel.boxes.size(), 1u);
    EXPECT_EQ(h.panel.boxes[0].icon, BoxIcon::Warning);
    if (c.backup) {
      EXPECT_EQ(U8(h.panel.boxes[0].text), kOffer + BackupFileName(kFamilyBrenta, 160, 0x0401, 2000) +
                                               " (1970-01-01 00:00:02 UTC)");
      EXPECT_EQ(h.panel.boxes[0].buttons, BoxButtons::YesNo);
    } else {
      EXPECT_EQ(U8(h.panel.boxes[0].text), kNoBackup);
    }
    // The window's image is not the 4 bytes read: it never shows them.
    EXPECT_FALSE(IsUnreadableBlock(h.app.image));

    if (c.answer != BoxAnswer::Yes) {
      ASSERT_EQ(h.panel.boxes.size(), 1u);
      h.panel.defaults_answers = {1};
      h.panel.UserClicks(ctl::kLoadDefaults);
      h.panel.boxes.clear();
      h.panel.UserClicks(ctl::kStore);
    }
    // The store says the block cannot be backed up, then stores and verifies.
    const size_t at = c.answer == BoxAnswer::Yes ? 1 : 0;
    ASSERT_EQ(h.panel.boxes.size(), at + 2);
    EXPECT_EQ(U8(h.panel.boxes[at].text), kNotBackedUp);
    EXPECT_EQ(h.panel.boxes[at].icon, BoxIcon::Warning);
    EXPECT_EQ(U8(h.panel.boxes[at + 1].text), kStored);
    EXPECT_TRUE(IsConnected(h.app.link));
    if (c.answer == BoxAnswer::Yes) {
      EXPECT_EQ(h.app.image, saved);
    }
    EXPECT_TRUE(std::equal(h.app.image.bytes.begin(), h.app.image.bytes.end(), unit.Eeprom().begin()));
    EXPECT_EQ(JudgeEscBlock(h.app.image, kFamilyBrenta, 0x0401), BlockState::Sound);
    // Connect, the store's look at the block, the read-back of the new one.
    EXPECT_EQ(BlockReads(unit), (std::vector<std::string>{"0+4", "0+4", "0+4", "4+48", "52+40"}));
    EXPECT_EQ(ListBackups(folder).size(), c.backup ? 1u : 0u);
  }
}

// The window showed a sound block when the ESC came back unreadable: the
// offer comes all the same, and the window keeps what it showed.
TEST(Unreadable, IsOfferedAlsoAfterASoundBlockWasShown) {
  AppHarness h;
  sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  h.Start();
  ASSERT_TRUE(h.panel.boxes.empty());
  const ConfigImage shown = h.app.image;
  h.port.Unplug(kHarnessUnitPath);
  unit.SetBlockLengthWord(200);
  h.panel.boxes.clear();
  h.port.Plug(kHarnessUnitPath);
  EXPECT_TRUE(IsConnected(h.app.link));
  ASSERT_EQ(h.panel.boxes.size(), 1u);
  EXPECT_EQ(U8(h.panel.boxes[0].text), kNoBackup);
  EXPECT_EQ(h.app.image, shown);
}

TEST(Unreadable, GermanTexts) {
  AppHarness h(Language::German);
  sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  unit.SetBlockLengthWord(300);
  h.Start();
  h.panel.defaults_answers = {1};
  h.panel.UserClicks(ctl::kLoadDefaults);
  h.panel.UserClicks(ctl::kStore);
  ASSERT_EQ(h.panel.boxes.size(), 3u);
  EXPECT_EQ(U8(h.panel.boxes[0].text),
            "Die Konfiguration des Reglers kann nicht gelesen werden (ihre Längenangabe ist falsch), und es gibt "
            "keine Sicherung dieser Reglerfamilie und dieses Modells. Laden Sie eine Konfigurationsdatei oder "
            "Modelldefaults und speichern Sie sie auf dem Regler.");
  EXPECT_EQ(U8(h.panel.boxes[1].text),
            "Die Konfiguration des Reglers kann nicht gelesen werden (ihre Längenangabe ist falsch) und deshalb "
            "nicht gesichert werden. Das Speichern wird ohne Sicherung fortgesetzt.");
}

// A unit that answers identification with an error: no unit to use, and
// the code it sent is named under the instructions.
TEST(Unreadable, AnIdentificationErrorNamesTheUnitsCode) {
  AppHarness h;
  sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  unit.faults().errors.push_back({sim::Trigger::OnCommand(cmd::kUnitStatus), 3});
  h.Start();
  EXPECT_FALSE(IsConnected(h.app.link));
  ASSERT_EQ(h.panel.boxes.size(), 1u);
  EXPECT_TRUE(U8(h.panel.boxes[0].text).ends_with("\r\n\r\nThe programming unit answered with error code 0x00000003."))
      << U8(h.panel.boxes[0].text);
}

// The ESC holds a BRENTA 0x0401 block saying 80 bytes. A backup of that
// length is not offered; the window's Store of the block as read is refused
// before any report, and the ESC keeps what it had.
TEST(WrongLength, IsNeitherOfferedNorStoredByTheWindow) {
  AppHarness h;
  sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  ConfigImage short_block;
  std::copy_n(unit.Eeprom().begin(), kImageSize, short_block.bytes.begin());
  PutU16(short_block, kOffBlockLength, 80);
  SealImage(short_block, kChecksum88);
  std::string error;
  const std::string folder = h.data_home.backups().string();
  std::filesystem::create_directories(folder);
  ASSERT_TRUE(WriteConfigFile(folder + "/" + BackupFileName(kFamilyBrenta, 160, 0x0401, 2000), kFamilyBrenta,
                              short_block, error));
  std::copy_n(short_block.bytes.begin(), kImageSize, unit.MutableEeprom().begin());
  const std::vector<uint8_t> before(unit.Eeprom().begin(), unit.Eeprom().end());
  h.Start();
  ASSERT_EQ(h.panel.boxes.size(), 1u);
  EXPECT_EQ(U8(h.panel.boxes[0].text),
            "The configuration of the ESC is damaged (its checksum is wrong), and there is no backup of this ESC family "
            "and model. Load a configuration file or a default set, then store it on the ESC.");
  EXPECT_EQ(BlockLength(h.app.image), 80);

  h.panel.boxes.clear();
  unit.ClearTranscript();
  h.panel.UserClicks(ctl::kStore);
  ASSERT_EQ(h.panel.boxes.size(), 2u);
  EXPECT_EQ(U8(h.panel.boxes[0].text),
            "The configuration to store does not have the block length of this ESC's parameter set. Nothing was "
            "written to the ESC.");
  EXPECT_EQ(h.panel.boxes[0].icon, BoxIcon::Error);
  // The block was looked at for the backup; nothing was written.
  for (const uint8_t command : Commands(unit)) EXPECT_EQ(command, cmd::kReadMemory);
  EXPECT_TRUE(std::equal(before.begin(), before.end(), unit.Eeprom().begin()));
}

}  // namespace
}  // namespace tavio::test
