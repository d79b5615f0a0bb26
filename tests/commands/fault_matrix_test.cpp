// Fault matrices: one injected fault per case, every byte of a transfer in turn. Each case
// must end with the right log line and beeps, leave image, Settings and the pager as a failed
// command must, put the lines at rest and throw nothing.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "pager_fixture.h"
#include "testkit/fault_checks.h"

namespace ccp {
namespace {

using test::PagerFixture;
using testkit::SentByte;
using Lines = std::vector<std::string>;

// Customer-edition write transfers, numbered by their power-up.
constexpr unsigned kDecoderWriteTransfer = 2;
constexpr unsigned kDecoderVerifyTransfer = 3;
constexpr unsigned kEepromWriteTransfer = 4;

// Every control's state as the user sees it.
std::vector<std::string> settingsOf(TForm1& form) {
  std::vector<std::string> state;
  for (Control* c : form.controls()) {
    std::string s = c->name() + (c->enabled() ? " e" : " d") + (c->visible() ? "v " : "h ");
    if (auto* t = dynamic_cast<TextField*>(c)) s += t->text();
    if (auto* b = dynamic_cast<ComboBox*>(c))
      s += std::to_string(b->index()) + "/" + std::to_string(b->code()) + " " + b->text();
    if (auto* x = dynamic_cast<CheckBox*>(c)) s += x->checked() ? "1" : "0";
    state.push_back(std::move(s));
  }
  return state;
}

// Tally of one matrix, printed when the test ends.
class Tally {
 public:
  explicit Tally(std::string name) : name_(std::move(name)) {}
  ~Tally() {
    std::printf("fault matrix: %s: %d cases, %d passed\n", name_.c_str(), tried_, passed_);
  }
  // Counts the case; a non-empty problem fails it.
  void record(const std::string& what, const std::string& problem) {
    ++tried_;
    if (problem.empty()) {
      ++passed_;
    } else {
      ADD_FAILURE() << name_ << ", " << what << ": " << problem;
    }
  }

 private:
  std::string name_;
  int tried_ = 0;
  int passed_ = 0;
};

std::string joined(const Lines& lines) {
  std::string s;
  for (const auto& l : lines) s += "[" + l + "]";
  return s;
}

// The bytes the PC sends in one transfer of a clean customer-edition write.
std::vector<SentByte> cleanWriteBytes(unsigned transfer) {
  PagerFixture fx;
  fx.f().menuItem("WriteToPager").trigger();
  EXPECT_EQ(fx.lines().back(), "Verify OK !");
  EXPECT_EQ(testkit::powerUpCount(fx.programmer.wireLog()), 4u);
  return testkit::bytesSentInTransfer(fx.programmer.wireLog(), transfer);
}

struct Expected {
  std::string line;
  int beeps;
  bool pagerEepromWritten;
};

// A customer-edition write with the fault: what went wrong, or nothing.
std::string writeProblem(const std::function<void(sim::SimulatedProgrammer&)>& fault,
                         const Expected& expected) {
  PagerFixture fx;
  fx.f().comboBox("autoinc1").choose(1);
  fault(fx.programmer);
  const auto settings = settingsOf(fx.f());
  const EepBlock pagerBefore = fx.pagerEeprom();
  const std::size_t before = fx.lines().size();
  try {
    fx.f().menuItem("WriteToPager").trigger();
  } catch (const std::exception& e) {
    return std::string("threw ") + e.what();
  }
  std::string problem;
  const Lines lines = fx.linesSince(before);
  if (lines != Lines{"Read data from pager", "Write to Pager...", expected.line})
    problem += " lines " + joined(lines) + ";";
  if (fx.platform.beeps != expected.beeps)
    problem += " beeps " + std::to_string(fx.platform.beeps) + ";";
  if (expected.beeps == 2 && (fx.clock.sleeps().empty() || fx.clock.sleeps().back() != 200))
    problem += " no 200 ms between the beeps;";
  if (!expected.pagerEepromWritten && fx.pagerEeprom() != pagerBefore)
    problem += " pager EEPROM changed;";
  if (settingsOf(fx.f()) != settings) problem += " Settings changed (addresses advanced?);";
  const std::string rest = testkit::linesNotAtRest(fx.programmer);
  if (!rest.empty()) problem += " lines not at rest: " + rest + ";";
  if (!fx.programmer.violations().empty()) problem += " timing violations;";
  return problem;
}

const char* roleName(SentByte::Role role) {
  switch (role) {
    case SentByte::Role::Device:
      return "device";
    case SentByte::Role::Pointer:
      return "address";
    case SentByte::Role::Data:
      return "data";
  }
  return "";
}

TEST(FaultMatrix, EepromWriteNackAtEveryByte) {
  const std::vector<SentByte> sent = cleanWriteBytes(kEepromWriteTransfer);
  // 32 pages of device byte, word address and 16 data bytes; then the read-back's device
  // byte, word address and read device byte.
  ASSERT_EQ(sent.size(), 32u * 18 + 3);
  Tally tally("EEPROM write NACK");
  for (unsigned k = 1; k <= sent.size(); ++k) {
    const bool readBack = k > 32 * 18;
    const Expected expected{readBack ? "Verify fail !" : "Pager can't be written", 2, true};
    tally.record("byte " + std::to_string(k) + " (" + roleName(sent[k - 1].role) + ")",
                 writeProblem(
                     [k](sim::SimulatedProgrammer& p) {
                       p.eepromChip().failAckAtByte(k, kEepromWriteTransfer);
                     },
                     expected));
  }
}

TEST(FaultMatrix, DecoderNackAtEveryByteOfWriteAndVerify) {
  const struct {
    const char* name;
    unsigned transfer;
    std::size_t bytes;  // 8 records of mode, slot, data and mode transactions; or of reads
    const char* line;
  } transfers[] = {
      {"decoder write NACK", kDecoderWriteTransfer, 8 * (3 + 3 + 8 + 3), "Decoder program error!"},
      {"decoder verify NACK", kDecoderVerifyTransfer, 8 * (3 + 2 + 1), "Decoder verify fail!"},
  };
  for (const auto& t : transfers) {
    const std::vector<SentByte> sent = cleanWriteBytes(t.transfer);
    ASSERT_EQ(sent.size(), t.bytes) << t.name;
    Tally tally(t.name);
    for (unsigned k = 1; k <= sent.size(); ++k) {
      tally.record("byte " + std::to_string(k) + " (" + roleName(sent[k - 1].role) + ")",
                   writeProblem(
                       [k, &t](sim::SimulatedProgrammer& p) {
                         p.decoderChip().failAckAtByte(k, t.transfer);
                       },
                       {t.line, 1, false}));
    }
  }
}

// A read whose EEPROM sends one byte of the settings record with a bit flipped.
std::string readProblem(unsigned address, std::uint8_t mask) {
  PagerFixture fx;
  fx.f().textField("contrast").setText("33");  // differs from the pager's
  fx.programmer.eepromChip().flipOnRead(address, mask);
  const auto settings = settingsOf(fx.f());
  const Image image = fx.f().image();
  const std::size_t before = fx.lines().size();
  try {
    fx.f().menuItem("ReadFromPager").trigger();
  } catch (const std::exception& e) {
    return std::string("threw ") + e.what();
  }
  std::string problem;
  const Lines lines = fx.linesSince(before);
  if (lines != Lines{"Read data from pager", "Pager Read error, please check the connection."})
    problem += " lines " + joined(lines) + ";";
  if (fx.platform.beeps != 0) problem += " beeps " + std::to_string(fx.platform.beeps) + ";";
  if (fx.f().image().eep != image.eep || fx.f().image().decoder != image.decoder)
    problem += " image changed;";
  if (settingsOf(fx.f()) != settings) problem += " Settings changed;";
  const std::string rest = testkit::linesNotAtRest(fx.programmer);
  if (!rest.empty()) problem += " lines not at rest: " + rest + ";";
  return problem;
}

TEST(FaultMatrix, ReadWithAFlippedBitAtEverySettingsByte) {
  Tally tally("EEPROM read bit flip");
  for (unsigned address = 0; address < kSettingsRecordSize; ++address) {
    // Each address flips one bit; the bit position turns with the address.
    const auto mask = static_cast<std::uint8_t>(1u << (address % 8));
    tally.record("address " + std::to_string(address), readProblem(address, mask));
  }
}

}  // namespace
}  // namespace ccp
