// An ESC whose block was erased by an interrupted store, or damaged, still
// connects, shows its block and is offered the newest backup of its family,
// model and parameter set; with none the user is pointed to a file or the
// defaults.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "core/files/backups.h"
#include "link/sim_link_fixture.h"
#include "support/app_harness.h"

namespace tavio::test {
namespace {

std::string U8(const Text& text) { return ToUtf8(text); }

enum class Broken { Erased, Damaged };

// The block the sim ESC starts with, edited so it is told from others, sealed.
ConfigImage GoodBlock(const sim::SimUnit& unit, uint16_t hold_time_ms) {
  ConfigImage image;
  std::copy_n(unit.Eeprom().begin(), kImageSize, image.bytes.begin());
  PutU16(image, 0x12, hold_time_ms);
  SealImage(image, kChecksum88);
  return image;
}

void Break(sim::SimUnit& unit, Broken how) {
  if (how == Broken::Erased) {
    std::fill(unit.MutableEeprom().begin(), unit.MutableEeprom().end(), 0xFF);
  } else {
    unit.MutableEeprom()[0x20] ^= 0x10;  // inside the checksummed prefix
  }
}

TEST(Recovery, BrokenEscConnectsAndIsOfferedItsNewestBackup) {
  struct Case {
    const char* name;
    Broken broken;
    bool backup;
    BoxAnswer answer;
  };
  const Case cases[] = {
      {"erased, backup, Yes", Broken::Erased, true, BoxAnswer::Yes},
      {"erased, backup, No", Broken::Erased, true, BoxAnswer::No},
      {"erased, no backup", Broken::Erased, false, BoxAnswer::Ok},
      {"damaged, backup, Yes", Broken::Damaged, true, BoxAnswer::Yes},
      {"damaged, backup, No", Broken::Damaged, true, BoxAnswer::No},
      {"damaged, no backup", Broken::Damaged, false, BoxAnswer::Ok},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AppHarness h;
    sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
    const std::string folder = h.data_home.backups().string();
    const ConfigImage older = GoodBlock(unit, 1111), newest = GoodBlock(unit, 1234);
    std::string newest_name;
    if (c.backup) {
      ASSERT_EQ(BackUpEscBlock(folder, kFamilyBrenta, 160, 0x0401, older, 1000).status, BackupStatus::Written);
      const BackupResult r = BackUpEscBlock(folder, kFamilyBrenta, 160, 0x0401, newest, 2000);
      ASSERT_EQ(r.status, BackupStatus::Written);
      newest_name = BackupFileName(kFamilyBrenta, 160, 0x0401, 2000);
      // Newer, but of another model, another parameter set, or itself damaged: never chosen.
      ASSERT_EQ(BackUpEscBlock(folder, kFamilyBrenta, 200, 0x0401, older, 3000).status, BackupStatus::Written);
      ConfigImage other_set = older;
      SealImage(other_set, kChecksum76);
      ASSERT_EQ(BackUpEscBlock(folder, kFamilyBrenta, 160, 0x0400, other_set, 3000).status, BackupStatus::Written);
      ConfigImage bad = older;
      bad.bytes[0x30] ^= 1;
      std::string error;
      ASSERT_TRUE(WriteConfigFile(folder + "/" + BackupFileName(kFamilyBrenta, 160, 0x0401, 4000), kFamilyBrenta,
                                  bad, error));
    }
    Break(unit, c.broken);
    std::vector<uint8_t> broken_block(unit.Eeprom().begin(), unit.Eeprom().begin() + kImageSize);
    h.panel.box_answers = {c.answer};
    h.Start();

    // Connected whatever the answer, with the block shown as it is.
    EXPECT_TRUE(IsConnected(h.app.link));
    EXPECT_EQ(U8(h.panel.title), "TAVIO (Version 01.02.00): Connected with BRENTA 160");
    const bool erased = c.broken == Broken::Erased;
    const bool restored = c.answer == BoxAnswer::Yes;
    ASSERT_GE(h.panel.boxes.size(), 1u);
    const MessageBoxRequest& offer = h.panel.boxes[0];
    if (c.backup) {
      const std::string restore = erased ? "The configuration of the ESC is erased, probably by an interrupted "
                                           "store. Restore the newest backup of this ESC family and model?"
                                         : "The configuration of the ESC is damaged (its checksum is wrong). "
                                           "Restore the newest backup of this ESC family and model?";
      EXPECT_EQ(U8(offer.text), restore + "\r\n\r\n" + newest_name + " (1970-01-01 00:00:02 UTC)");
      EXPECT_EQ(offer.buttons, BoxButtons::YesNo);
    } else {
      EXPECT_EQ(U8(offer.text), erased ? "The configuration of the ESC is erased, probably by an interrupted store, "
                                         "and there is no backup of this ESC family and model. Load a configuration "
                                         "file or a default set, then store it on the ESC."
                                       : "The configuration of the ESC is damaged (its checksum is wrong), and there "
                                         "is no backup of this ESC family and model. Load a configuration file or a "
                                         "default set, then store it on the ESC.");
      EXPECT_EQ(offer.buttons, BoxButtons::Ok);
    }
    EXPECT_EQ(offer.icon, BoxIcon::Warning);
    for (ControlId id : {ctl::kStore, ctl::kLoadFile, ctl::kLoadDefaults, ctl::kSaveFile}) {
      EXPECT_TRUE(h.panel.IsEnabled(id)) << id;
    }
    if (restored) {
      // Stored verified: the success box, the ESC holds the backup, the window shows it.
      ASSERT_EQ(h.panel.boxes.size(), 2u);
      EXPECT_EQ(U8(h.panel.boxes[1].text), "The configuration parameters have been transferred to the ESC successfully");
      EXPECT_TRUE(std::equal(newest.bytes.begin(), newest.bytes.end(), unit.Eeprom().begin()));
      EXPECT_EQ(h.app.image, newest);
      EXPECT_EQ(U8(h.panel.GetText(ctl::kHoldTime)), "1234ms");
    } else {
      EXPECT_EQ(h.panel.boxes.size(), 1u);
      EXPECT_TRUE(std::equal(broken_block.begin(), broken_block.end(), unit.Eeprom().begin()));
      EXPECT_TRUE(std::equal(broken_block.begin(), broken_block.end(), h.app.image.bytes.begin()));
      EXPECT_EQ(U8(h.panel.GetText(ctl::kHoldTime)), erased ? "65535ms" : "2000ms");
    }
    // A broken block is never backed up over the good ones: the folder holds
    // the files it had (two of them fail the load test and are not listed).
    std::error_code none;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder, none), {}), c.backup ? 5 : 0);
    EXPECT_EQ(ListBackups(folder).size(), c.backup ? 3u : 0u);
    if (restored || !erased) continue;
    // The erased block shown is nothing to store: a box, no exchange, still connected.
    unit.ClearTranscript();
    h.panel.boxes.clear();
    h.panel.UserClicks(ctl::kStore);
    EXPECT_TRUE(unit.Transcript().empty());
    ASSERT_EQ(h.panel.boxes.size(), 1u);
    EXPECT_EQ(U8(h.panel.boxes[0].text), "The configuration shown is the erased one of the ESC: there is nothing to "
                                         "store. Load a configuration file or a default set first.");
    EXPECT_TRUE(IsConnected(h.app.link));
    // A default set is a whole block again, and it stores.
    h.panel.defaults_answers = {1};
    h.panel.UserClicks(ctl::kLoadDefaults);
    EXPECT_EQ(BlockLength(h.app.image), 92);
    h.panel.boxes.clear();
    h.panel.UserClicks(ctl::kStore);
    ASSERT_EQ(h.panel.boxes.size(), 1u);
    EXPECT_EQ(U8(h.panel.boxes[0].text), "The configuration parameters have been transferred to the ESC successfully");
    EXPECT_TRUE(std::equal(h.app.image.bytes.begin(), h.app.image.bytes.end(), unit.Eeprom().begin()));
  }
}

// No decision in the window: the German texts come from the same table.
TEST(Recovery, GermanOffer) {
  AppHarness h(Language::German);
  sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  Break(unit, Broken::Erased);
  h.Start();
  ASSERT_EQ(h.panel.boxes.size(), 1u);
  EXPECT_EQ(U8(h.panel.boxes[0].text),
            "Die Konfiguration des Reglers ist gelöscht, vermutlich durch ein unterbrochenes Speichern, und es gibt "
            "keine Sicherung dieser Reglerfamilie und dieses Modells. Laden Sie eine Konfigurationsdatei oder "
            "Modelldefaults und speichern Sie sie auf dem Regler.");
}

// Everything else about the readout stays: a length word of 0xFFFF over a
// block that is not all 0xFF is a readout error, and nothing is offered.
TEST(Recovery, LengthFfffOverOtherBytesIsStillAReadoutError) {
  AppHarness h;
  sim::SimUnit& unit = h.AddUnit(kFamilyBrenta, 160, kParamVersion92B);
  std::fill(unit.MutableEeprom().begin(), unit.MutableEeprom().end(), 0xFF);
  unit.MutableEeprom()[91] = 0xFE;
  h.Start();
  EXPECT_FALSE(IsConnected(h.app.link));
  ASSERT_EQ(h.panel.boxes.size(), 2u);
  EXPECT_EQ(U8(h.panel.boxes[0].text), "Error when reading ESC EEPROMs");
}

// An erased block is read whole: 4 + 48 + 40 bytes, three pauses.
TEST_F(SimLinkTest, ErasedBlockIsReadAsFarAsTheImageReaches) {
  sim::SimUnit& unit = Connect();
  std::fill(unit.MutableEeprom().begin(), unit.MutableEeprom().end(), 0xFF);
  ConfigImage image;
  EXPECT_EQ(ReadConfiguration(link, image, Reporter()), 0xFFFF);
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(Requests(unit), (std::vector<std::string>{Full("01 1D 08 00 04 00 00 00 00 00 00 00"),
                                                      Full("01 1D 08 00 30 00 00 00 04 00 00 00"),
                                                      Full("01 1D 08 00 28 00 00 00 34 00 00 00")}));
  EXPECT_EQ(sleeper.pauses, (std::vector<uint32_t>{20, 20, 20}));
  EXPECT_TRUE(IsErasedBlock(image));
}

}  // namespace
}  // namespace tavio::test
