// The simulated unit's own rules that the link tests do not reach: requests
// it refuses as a unit following the protocol does, erase and write only
// under the lock with flash access open, and the memory file that mirrors
// the simulated ESC after every change.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

#include "link/sim_link_fixture.h"
#include "sim/eeprom_file.h"

namespace tavio::test {
namespace {

namespace fs = std::filesystem;

class SimUnitTest : public SimLinkTest {};

// One exchange: 'L' lock, 'U' release, 'O' open flash access, 'C' close it,
// 'A' assign the write address, 'E' erase, 'W' write one word.
int32_t Step(UsbLink& link, char step) {
  switch (step) {
    case 'L': case 'U': return SystemLock(link, step == 'L' ? 1 : 0);
    case 'O': case 'C': return FlashAccess(link, step == 'C' ? 1 : 0);
    case 'A': return AssignWriteAddress(link);
    case 'E': return EraseConfig(link);
    default: return WriteBlock(link, Hex("01 02 03 04"), 1);
  }
}

TEST_F(SimUnitTest, EraseAssignAndWriteOnlyUnderTheLockWithFlashAccessOpen) {
  // Every step but the last succeeds; the last is refused with the unit's code.
  const std::pair<std::string, uint32_t> cases[] = {
      {"OE", sim::kErrNotLocked},       {"LE", sim::kErrFlashClosed},   {"LOCE", sim::kErrFlashClosed},
      {"LOUE", sim::kErrNotLocked},     {"OA", sim::kErrNotLocked},     {"LA", sim::kErrFlashClosed},
      {"LOUA", sim::kErrNotLocked},     {"LOCA", sim::kErrFlashClosed}, {"LOW", sim::kErrNoWriteAddress},
      {"LOACOW", sim::kErrNoWriteAddress},
  };
  for (const auto& [steps, error] : cases) {
    SCOPED_TRACE(steps);
    Reset();
    sim::SimUnit& unit = Connect();
    const std::string before = ToHex(unit.Eeprom());
    for (size_t i = 0; i < steps.size(); ++i) {
      EXPECT_EQ(Step(link, steps[i]), i + 1 < steps.size() ? kResultOk : kResultUnitError) << i;
    }
    EXPECT_EQ(link.unit_error_code, error);
    EXPECT_EQ(ToHex(unit.Eeprom()), before);
  }
  Reset();
  sim::SimUnit& unit = Connect();
  for (char step : std::string("LOEAW")) EXPECT_EQ(Step(link, step), 0) << step;
  EXPECT_EQ(ToHex(unit.Eeprom().first(6)), "01 02 03 04 FF FF");
}

TEST_F(SimUnitTest, AnswersOnlyWhatAUnitFollowingTheProtocolAnswers) {
  const std::string ok = "02 00";
  const auto error = [](uint32_t code) {
    std::vector<uint8_t> answer = Hex("02 FF 00 00");
    answer.resize(8);
    PutU32(answer, 4, code);
    return ToHex(answer);
  };
  const struct {
    std::string request;  // leading bytes, the rest zero
    std::string answer;   // leading bytes of the answer
    uint8_t unit_mode = 0;
    uint16_t esc_state = kEscStateUpdatable;
  } cases[] = {
      // The parameter-length byte of every command, one off.
      {"01 08 01 00", error(sim::kErrBadParamLength)},
      {"01 0A 0B 00 00 FC 01 08", error(sim::kErrBadParamLength)},
      {"01 0B 00 01", error(sim::kErrBadParamLength)},
      {"01 1D 09 00 04 00 00 00 00 00 00 00", error(sim::kErrBadParamLength)},
      {"01 1E 05 00 19 E7 5A 3C", error(sim::kErrBadParamLength)},
      {"01 1F 08 01 00 00 00 00 19 E7 5A 3C", error(sim::kErrBadParamLength)},
      {"01 20 02 00", error(sim::kErrBadParamLength)},
      {"01 22 01 00", error(sim::kErrBadParamLength)},
      {"01 1C 06 00 01 02 03 04 05 06", error(sim::kErrBadBlockSize)},
      {"01 1C 3C 00", error(sim::kErrBadBlockSize)},
      {"01 33 00 00", error(sim::kErrUnknownCommand)},
      // The data query answers for its own address only.
      {"01 0A 0C 00 00 FC 01 08", "02 00 0C 00 00 FC 01 08 00 03 01 00 01 00 00 00"},
      {"01 0A 0C 00 04 FC 01 08", error(sim::kErrQueryAddress)},
      // The assignment with another mode byte or offset.
      {"01 1F 09 00 00 00 00 00 19 E7 5A 3C", error(sim::kErrBadParameter)},
      {"01 1F 09 01 04 00 00 00 19 E7 5A 3C", error(sim::kErrBadParameter)},
      // Lock, reads and identity only in the normal mode with an updatable ESC.
      {"01 0B 01 01", ok + " 00 01"},
      {"01 0B 01 01", error(sim::kErrWrongMode), 2},
      {"01 0B 01 01", error(sim::kErrNoEsc), 0, 1},
      {"01 1D 08 00 04 00 00 00 00 00 00 00", error(sim::kErrWrongMode), 1},
      {"01 1D 08 00 04 00 00 00 00 00 00 00", error(sim::kErrNoEsc), 0, 0},
      {"01 22 00 00", error(sim::kErrWrongMode), 3, 3},
      {"01 22 00 00", error(sim::kErrNoEsc), 0, 2},
      {"01 22 00 00", ok + " 28 00 A0 80 0C 00"},
      // The status and the flash access answer whatever the ESC.
      {"01 08 00 00", "02 00 0C 02 01 03 02 07", 2},
      {"01 20 01 00", ok + " 00 00", 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.request);
    Reset();
    sim::SimUnit& unit = Connect();
    unit.config().unit_mode = c.unit_mode;
    unit.config().esc_state = c.esc_state;
    Report request{};
    const std::vector<uint8_t> head = Hex(c.request);
    std::copy(head.begin(), head.end(), request.begin());
    Report response{};
    ASSERT_EQ(Transact(link, request, response), kResultOk);
    const size_t n = Hex(c.answer).size();
    EXPECT_EQ(ToHex(std::span(response).first(n)), c.answer);
    EXPECT_EQ(unit.Locked(), c.answer == ok + " 00 01");  // a refused lock is not taken
  }
}

// A fresh memory file path in a folder of its own.
class SimEepromFileTest : public SimLinkTest {
 protected:
  SimEepromFileTest() {
    folder = fs::path(::testing::TempDir()) / ("tavio-sim-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);
    config.eeprom_file = (folder / "esc.eeprom").string();
  }
  ~SimEepromFileTest() override { fs::remove_all(folder); }

  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string FileHex() const {
    std::ifstream in(config.eeprom_file, std::ios::binary);
    return ToHex(std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {}));
  }
  // A 92-byte image that differs from the fresh EEPROM in every byte.
  static ConfigImage NewImage() {
    ConfigImage image;
    for (size_t i = 0; i < kImageSize; ++i) image.bytes[i] = static_cast<uint8_t>(0x80 + i);
    PutU16(image, kOffBlockLength, 92);
    return image;
  }

  fs::path folder;
  sim::SimUnitConfig config;
};

TEST_F(SimEepromFileTest, MirrorsTheEscAfterEveryChangeAndTheNextRunReadsIt) {
  const ConfigImage image = NewImage();
  std::vector<uint8_t> erased(256, 0xFF), first_block = erased, whole = erased;
  std::copy_n(image.bytes.begin(), 48, first_block.begin());
  std::copy_n(image.bytes.begin(), 92, whole.begin());
  // The write sequence after identification: lock 0, flash 1, erase 2,
  // assign 3, blocks 4 and 5, flash 6, unlock 7. Cut off with an error
  // answer at the given exchange, or not at all.
  const struct {
    std::optional<uint32_t> cut_at;
    std::vector<uint8_t> kept;
  } cases[] = {{3, erased}, {5, first_block}, {std::nullopt, whole}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cut_at.value_or(99));
    Reset();
    fs::remove(config.eeprom_file);
    sim::SimUnit& unit = Connect(config);
    if (c.cut_at) unit.faults().errors.push_back({sim::Trigger::AtExchange(3 + *c.cut_at), 0x31});
    EXPECT_EQ(WriteConfiguration(link, image, Reporter()), !c.cut_at);
    EXPECT_EQ(ToHex(unit.Eeprom()), ToHex(c.kept));
    EXPECT_EQ(FileHex(), ToHex(c.kept));
    EXPECT_EQ(Entries(), std::vector<std::string>{"esc.eeprom"});
    // The next run starts with what the file holds, an erased ESC too.
    CloseUsbLink(link);
    port = sim::SimHidPort{};
    errors.clear();
    sim::SimUnit& next = Connect(config);
    EXPECT_EQ(ToHex(next.Eeprom()), ToHex(c.kept));
    ConfigImage read;
    EXPECT_EQ(ReadConfiguration(link, read, Reporter()), c.cut_at == 3u ? kErasedBlockLength : 92);
    EXPECT_EQ(ToHex(read.bytes), ToHex(std::span(c.kept).first(kImageSize)));
    EXPECT_EQ(errors, std::vector<CommError>{});
  }
}

// Fails one of the file calls with the given error, from the replacement
// after the first `good` ones on.
class FailingCalls : public sim::EepromFileCalls {
 public:
  enum Call { kCreate, kWrite, kFlush, kClose, kReplace };
  FailingCalls(Call call, std::errc error, int good) : call_(call), error_(std::make_error_code(error)), good_(good) {}

  std::error_code CreateNew(const fs::path& path, File& file) override {
    failing_ = replacements_++ >= good_;
    return Fails(kCreate) ? error_ : EepromFileCalls::CreateNew(path, file);
  }
  std::error_code Write(File file, std::span<const uint8_t> bytes) override {
    // A full disk takes part of the data, then refuses the rest.
    if (Fails(kWrite)) return EepromFileCalls::Write(file, bytes.first(10)), error_;
    return EepromFileCalls::Write(file, bytes);
  }
  std::error_code Flush(File file) override {
    const std::error_code real = EepromFileCalls::Flush(file);
    return Fails(kFlush) ? error_ : real;
  }
  std::error_code Close(File file) override {
    const std::error_code real = EepromFileCalls::Close(file);  // closed in any case
    return Fails(kClose) ? error_ : real;
  }
  std::error_code Replace(const fs::path& from, const fs::path& to) override {
    return Fails(kReplace) ? error_ : EepromFileCalls::Replace(from, to);
  }

 private:
  bool Fails(Call call) const { return failing_ && call == call_; }
  Call call_;
  std::error_code error_;
  int good_;
  int replacements_ = 0;
  bool failing_ = false;
};

TEST_F(SimEepromFileTest, AFileThatCannotBeWrittenFailsTheExchangeAndChangesNothing) {
  using C = FailingCalls;
  const struct {
    C::Call call;
    std::errc error;
    bool at_block;  // the erase went through and the first block fails; else the erase fails
    std::string message;
  } cases[] = {
      // A read-only folder.
      {C::kCreate, std::errc::read_only_file_system, false, "cannot create '%.tmp'"},
      {C::kCreate, std::errc::permission_denied, true, "cannot create '%.tmp'"},
      // A full disk, found out at each step.
      {C::kWrite, std::errc::no_space_on_device, false, "cannot write '%.tmp'"},
      {C::kWrite, std::errc::no_space_on_device, true, "cannot write '%.tmp'"},
      {C::kFlush, std::errc::io_error, true, "cannot flush '%.tmp'"},
      {C::kClose, std::errc::no_space_on_device, false, "cannot close '%.tmp'"},
      {C::kReplace, std::errc::permission_denied, true, "cannot replace '%'"},
  };
  ConfigImage other = NewImage();
  other.bytes[10] = 0x01;
  const std::string erased = ToHex(std::vector<uint8_t>(256, 0xFF));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    Reset();
    fs::remove(config.eeprom_file);
    sim::SimUnit& unit = Connect(config);
    ASSERT_TRUE(WriteConfiguration(link, NewImage(), Reporter()));
    const std::string written = FileHex();
    FailingCalls calls(c.call, c.error, c.at_block ? 1 : 0);
    unit.config().file_calls = &calls;

    EXPECT_FALSE(WriteConfiguration(link, other, Reporter()));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].text, c.at_block ? sid::kWriteBlockFailed : sid::kEraseFailed);
    EXPECT_EQ(CodeLineValue(errors[0]), sim::kErrPersist);
    // The ESC and its file stay together, as the last change that could be kept left them.
    EXPECT_EQ(ToHex(unit.Eeprom()), c.at_block ? erased : written);
    EXPECT_EQ(FileHex(), c.at_block ? erased : written);
    std::string message = c.message;
    message.replace(message.find('%'), 1, config.eeprom_file);
    EXPECT_EQ(unit.PersistError().rfind(message + ": " + std::make_error_code(c.error).message(), 0), 0u)
        << unit.PersistError();
    EXPECT_EQ(Entries(), std::vector<std::string>{"esc.eeprom"});
  }
}

TEST_F(SimEepromFileTest, APlantedTemporaryOrLinkIsNeverFollowed) {
  const fs::path victim = folder / "victim";
  std::ofstream(victim) << "keep";
#ifdef _WIN32
  std::ofstream(config.eeprom_file + ".tmp") << "planted";  // links need rights Windows seldom grants
#else
  fs::create_symlink(victim, config.eeprom_file + ".tmp");
#endif
  std::ofstream(config.eeprom_file + ".tmp1") << "stale";
  sim::SimUnit& unit = Connect(config);
  ASSERT_TRUE(WriteConfiguration(link, NewImage(), Reporter()));
  EXPECT_EQ(FileHex(), ToHex(unit.Eeprom()));
  std::ifstream in(victim);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep");
#ifndef _WIN32
  EXPECT_TRUE(fs::is_symlink(config.eeprom_file + ".tmp"));
#endif
  EXPECT_EQ(Entries(), (std::vector<std::string>{"esc.eeprom", "esc.eeprom.tmp", "esc.eeprom.tmp1", "victim"}));
  // A folder that is not there: the write fails on the real file system.
  Reset();
  sim::SimUnitConfig nowhere = config;
  nowhere.eeprom_file = (folder / "missing" / "esc.eeprom").string();
  Connect(nowhere);
  EXPECT_FALSE(WriteConfiguration(link, NewImage(), Reporter()));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(std::make_pair(errors[0].text, CodeLineValue(errors[0])),
            std::make_pair(StringId{sid::kEraseFailed}, sim::kErrPersist));
}

}  // namespace
}  // namespace tavio::test
