// "Save file" and "Load file" over the whole program: the file's bytes, the
// boxes, the Retry path and what the image holds afterwards.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/files/commands.h"
#include "support/app_harness.h"
#include "support/hex.h"

namespace tavio::test {
namespace {

namespace fs = std::filesystem;

std::string U8(const Text& text) { return ToUtf8(text); }

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

const std::string kNotValid =
    "The selected file is not a valid memory file, please choose a valid memory file!";
const std::string kNotCompatible =
    "The selected file is not compatible with the connected controller, please choose a valid memory file!";

class FileCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = fs::path(::testing::TempDir()) / (std::string("cmd_") + info->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }
  std::string Path(const std::string& name) const { return (folder / name).string(); }
  bool FolderIsEmpty() const { return fs::directory_iterator(folder) == fs::directory_iterator(); }

  // Saves the harness's image to `name` through the command; the box it showed.
  MessageBoxRequest Save(AppHarness& h, const std::string& name) {
    h.panel.save_files.push_back(Path(name));
    h.panel.boxes.clear();
    SaveConfigFileCommand(h.app);
    EXPECT_EQ(h.panel.boxes.size(), 1u);
    return h.panel.boxes.empty() ? MessageBoxRequest{} : h.panel.boxes[0];
  }

  // Loads `name` through the command, answering Cancel to any refusal; the
  // texts of the boxes it showed.
  std::vector<std::string> Load(AppHarness& h, const std::string& name) {
    h.panel.open_files.push_back(Path(name));
    h.panel.boxes.clear();
    LoadConfigFileCommand(h.app);
    std::vector<std::string> texts;
    for (const MessageBoxRequest& box : h.panel.boxes) {
      EXPECT_EQ(box.icon, BoxIcon::Warning);
      EXPECT_EQ(box.buttons, BoxButtons::RetryCancel);
      EXPECT_EQ(box.caption, u"");
      texts.push_back(U8(box.text));
    }
    return texts;
  }

  fs::path folder;
};

struct Esc {
  const char* name;
  uint16_t family;
  uint16_t model;
  uint16_t version;
  std::string family_bytes;  // the file's first two bytes
  std::optional<ChecksumSpec> seal;
};

const Esc kEscs[] = {
    {"ALDER", kFamilyAlder, 100, 0x0104, "64 00", ChecksumSpec{76, 0x4C}},
    {"BRENTA 0x0400", kFamilyBrenta, 160, 0x0400, "C8 00", ChecksumSpec{76, 0x4C}},
    {"BRENTA 0x0401", kFamilyBrenta, 200, 0x0401, "C8 00", ChecksumSpec{88, 0x58}},
    {"CORVAN 0x0400", kFamilyCorvan, 120, 0x0400, "2C 01", ChecksumSpec{76, 0x4C}},
    {"CORVAN 0x0401", kFamilyCorvan, 120, 0x0401, "2C 01", ChecksumSpec{88, 0x58}},
    {"DELMAR-Z", kFamilyDelmarZ, 60, 0x0104, "90 01", ChecksumSpec{82, 0x54}},
    {"BRENTA 0x0402", kFamilyBrenta, 160, 0x0402, "C8 00", std::nullopt},
    {"unknown family", 500, 7, 0x0401, "F4 01", std::nullopt},
};

TEST_F(FileCommandTest, SaveWritesTheSealedImageAndLoadBringsItBack) {
  for (const Esc& esc : kEscs) {
    SCOPED_TRACE(esc.name);
    AppHarness h;
    h.AddUnit(esc.family, esc.model, esc.version);
    h.Start();
    ASSERT_TRUE(IsConnected(h.app.link));
    // An edit, and bytes behind every block: all 92 bytes go into the file.
    PutU16(h.app.image, 0x12, 1234);
    for (size_t i = 0x5A; i < kImageSize; ++i) h.app.image.bytes[i] = static_cast<uint8_t>(i);
    ConfigImage sealed = h.app.image;
    if (esc.seal) PutU32(sealed, esc.seal->offset, ImageChecksum(sealed, esc.seal->prefix));

    const MessageBoxRequest box = Save(h, "saved.bin");
    EXPECT_EQ(U8(box.text), "Settings saved successfully!");
    EXPECT_EQ(box.caption, u"");
    EXPECT_EQ(box.icon, BoxIcon::None);
    EXPECT_EQ(box.buttons, BoxButtons::Ok);
    EXPECT_EQ(ToHex(ReadBytes(Path("saved.bin"))), esc.family_bytes + " " + ToHex(sealed.bytes));
    EXPECT_EQ(h.app.image, sealed);  // the window's image carries the saved checksum

    PutU16(h.app.image, 0x12, 999);
    h.panel.ClearLog();
    const std::vector<std::string> refusals = Load(h, "saved.bin");
    if (esc.seal) {
      EXPECT_TRUE(refusals.empty());
      EXPECT_EQ(h.app.image, sealed);
      EXPECT_EQ(U8(h.panel.GetText(ctl::kHoldTime)), "1234ms");
      // The image went to the controls before the refresh set the title.
      const int shown = h.panel.FindCall("SetText 2033 1234ms");
      EXPECT_GE(shown, 0);
      EXPECT_GT(h.panel.FindCall("SetTitle"), shown);
    } else {
      // Without a checksum rule for the connected ESC no file can be loaded.
      EXPECT_EQ(refusals, std::vector<std::string>{kNotValid});
      EXPECT_EQ(GetU16(h.app.image, 0x12), 999);
    }
  }
}

TEST_F(FileCommandTest, CancelledSaveChangesNothing) {
  AppHarness h;
  h.AddUnit(kFamilyBrenta, 160, 0x0401);
  h.Start();
  PutU16(h.app.image, 0x12, 1234);  // the stored checksum is stale now
  const ConfigImage before = h.app.image;
  h.panel.ClearLog();
  SaveConfigFileCommand(h.app);
  EXPECT_EQ(h.panel.calls, std::vector<std::string>{"ChooseSaveFile"});
  EXPECT_EQ(h.app.image, before);
  EXPECT_TRUE(FolderIsEmpty());
}

TEST_F(FileCommandTest, FailedSaveKeepsTheOldFileAndSaysSo) {
  fs::create_directories(folder / "taken");
  WriteBytes(Path("taken/keep.bin"), {9, 8, 7});
  for (const std::string& name : {std::string("missing/x.bin"), std::string("taken")}) {
    SCOPED_TRACE(name);
    AppHarness h;
    h.AddUnit(kFamilyAlder, 100, 0x0104);
    h.Start();
    const MessageBoxRequest box = Save(h, name);
    EXPECT_EQ(U8(box.text), "The settings could not be saved to " + Path(name) +
                                ". The settings were NOT saved; the existing file is unchanged.");
    EXPECT_EQ(box.caption, u"");
    EXPECT_EQ(box.icon, BoxIcon::Error);
    EXPECT_EQ(box.buttons, BoxButtons::Ok);
    EXPECT_EQ(ReadBytes(Path("taken/keep.bin")), (std::vector<uint8_t>{9, 8, 7}));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "taken"), fs::directory_iterator()), 1);
  }
}

TEST_F(FileCommandTest, OnlyBytesInsideTheChecksummedPrefixSpoilTheFile) {
  AppHarness h;
  h.AddUnit(kFamilyAlder, 100, 0x0104);
  h.Start();
  Save(h, "alder.bin");
  const std::vector<uint8_t> saved = ReadBytes(Path("alder.bin"));
  struct Case {
    size_t image_offset;
    bool valid;
  };
  const Case cases[] = {{0x00, false}, {0x02, false}, {0x12, false}, {0x4B, false}, {0x4C, false},
                        {0x4F, false}, {0x50, true},  {0x55, true},  {0x5B, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.image_offset);
    std::vector<uint8_t> tampered = saved;
    tampered[c.image_offset + 2] ^= 0x40;
    WriteBytes(Path("tampered.bin"), tampered);
    const ConfigImage before = h.app.image;

    const std::vector<std::string> refusals = Load(h, "tampered.bin");
    if (c.valid) {
      EXPECT_TRUE(refusals.empty());
      EXPECT_EQ(ToHex(h.app.image.bytes), ToHex(std::vector<uint8_t>(tampered.begin() + 2, tampered.end())));
    } else {
      EXPECT_EQ(refusals, std::vector<std::string>{kNotValid});
      EXPECT_EQ(h.app.image, before);
    }
  }
}

TEST_F(FileCommandTest, FilesFromAnotherEscAreRefused) {
  struct Case {
    const char* name;
    Esc saved_on;
    Esc loaded_on;
    std::string refusal;
  };
  const Esc alder = kEscs[0];
  const Esc brenta400 = kEscs[1];
  const Esc brenta401 = kEscs[2];
  const Esc corvan401 = kEscs[4];
  const Esc delmar = kEscs[5];
  const Case cases[] = {
      {"DELMAR-Z file on ALDER", delmar, alder, kNotCompatible},
      {"ALDER file on DELMAR-Z", alder, delmar, kNotCompatible},
      {"CORVAN file on BRENTA", corvan401, brenta401, kNotCompatible},
      {"BRENTA 0x0400 file on BRENTA 0x0401", brenta400, brenta401, kNotValid},
      {"BRENTA 0x0401 file on BRENTA 0x0400", brenta401, brenta400, kNotValid},
      {"BRENTA file on ALDER", brenta401, alder, kNotValid},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    {
      AppHarness saver;
      saver.AddUnit(c.saved_on.family, c.saved_on.model, c.saved_on.version);
      saver.Start();
      Save(saver, "other.bin");
    }
    AppHarness h;
    h.AddUnit(c.loaded_on.family, c.loaded_on.model, c.loaded_on.version);
    h.Start();
    const ConfigImage before = h.app.image;
    h.panel.ClearLog();
    EXPECT_EQ(Load(h, "other.bin"), std::vector<std::string>{c.refusal});
    EXPECT_EQ(h.app.image, before);
    EXPECT_EQ(h.panel.FindCall("SetTitle"), -1);  // nothing refreshed
  }
}

TEST_F(FileCommandTest, FilesOfOddLengthsOrNoneAtAll) {
  AppHarness h;
  h.AddUnit(kFamilyAlder, 100, 0x0104);
  h.Start();
  for (size_t i = 0x50; i < kImageSize; ++i) h.app.image.bytes[i] = 0xA5;
  Save(h, "alder.bin");
  const std::vector<uint8_t> saved = ReadBytes(Path("alder.bin"));
  std::vector<uint8_t> longer = saved;
  longer.insert(longer.end(), {1, 2, 3, 4, 5, 6, 7, 8});
  std::vector<uint8_t> block93 = saved;
  block93[2] = 93;

  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;  // none: the file does not exist
    bool loads;
    size_t image_bytes;  // how many loaded image bytes come from the file
  };
  const Case cases[] = {
      {"empty", {}, false, 0},
      {"one byte", {0x64}, false, 0},
      {"cut inside the block", std::vector<uint8_t>(saved.begin(), saved.begin() + 60), false, 0},
      {"cut inside the checksum", std::vector<uint8_t>(saved.begin(), saved.begin() + 81), false, 0},
      {"93 bytes", std::vector<uint8_t>(saved.begin(), saved.begin() + 93), true, 91},
      {"longer than 94", longer, true, 92},
      {"block length 93", block93, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(Path("odd.bin"), c.bytes);
    PutU16(h.app.image, 0x12, 777);
    const ConfigImage before = h.app.image;
    const std::vector<std::string> refusals = Load(h, "odd.bin");
    if (c.loads) {
      EXPECT_TRUE(refusals.empty());
      ConfigImage expected;  // what the file lacks reads as zero
      std::copy_n(c.bytes.begin() + 2, c.image_bytes, expected.bytes.begin());
      EXPECT_EQ(ToHex(h.app.image.bytes), ToHex(expected.bytes));
    } else {
      EXPECT_EQ(refusals, std::vector<std::string>{kNotValid});
      EXPECT_EQ(h.app.image, before);
    }
  }
  EXPECT_EQ(Load(h, "does-not-exist.bin"), std::vector<std::string>{kNotValid});
  EXPECT_EQ(Load(h, "."), std::vector<std::string>{kNotValid});
}

TEST_F(FileCommandTest, RetryOpensANewDialogInsideTheOldOne) {
  AppHarness h;
  h.AddUnit(kFamilyCorvan, 120, 0x0401);
  h.Start();
  Save(h, "good.bin");
  const ConfigImage good = h.app.image;
  WriteBytes(Path("bad.bin"), {1, 2, 3});
  PutU16(h.app.image, 0x12, 4321);
  const ConfigImage edited = h.app.image;

  // Three Retries, then Cancel: four dialogs, four refusals, image untouched.
  h.panel.ClearLog();
  h.panel.box_answers = {BoxAnswer::Retry, BoxAnswer::Retry, BoxAnswer::Retry, BoxAnswer::Cancel};
  h.panel.open_files = {Path("bad.bin"), Path("bad.bin"), Path("bad.bin"), Path("bad.bin")};
  LoadConfigFileCommand(h.app);
  const std::string box = "Box warning [] " + kNotValid;
  EXPECT_EQ(h.panel.calls, (std::vector<std::string>{"ChooseOpenFile", box, "ChooseOpenFile", box, "ChooseOpenFile",
                                                     box, "ChooseOpenFile", box}));
  EXPECT_EQ(h.app.image, edited);

  // Retry, then a good file: loaded by the inner dialog.
  h.panel.ClearLog();
  h.panel.box_answers = {BoxAnswer::Retry};
  h.panel.open_files = {Path("bad.bin"), Path("good.bin")};
  LoadConfigFileCommand(h.app);
  EXPECT_EQ(h.panel.open_dialogs, 6);
  EXPECT_EQ(h.app.image, good);

  // Retry, then cancelling the dialog ends silently.
  h.panel.ClearLog();
  h.panel.box_answers = {BoxAnswer::Retry};
  h.panel.open_files = {Path("bad.bin"), std::nullopt};
  PutU16(h.app.image, 0x12, 4321);
  LoadConfigFileCommand(h.app);
  EXPECT_EQ(h.panel.calls, (std::vector<std::string>{"ChooseOpenFile", box, "ChooseOpenFile"}));
  EXPECT_EQ(h.app.image, edited);
}

TEST_F(FileCommandTest, TheButtonsReachTheCommands) {
  AppHarness h;
  h.AddUnit(kFamilyBrenta, 160, 0x0401);
  h.Start();
  h.panel.ClearLog();
  h.panel.UserClicks(ctl::kSaveFile);
  h.panel.UserClicks(ctl::kLoadFile);
  h.panel.UserClicks(ctl::kLoadDefaults);
  EXPECT_EQ(h.panel.calls, (std::vector<std::string>{"ChooseSaveFile", "ChooseOpenFile", "RunDefaultsDialog 101 200"}));
}

}  // namespace
}  // namespace tavio::test
