#include <gtest/gtest.h>

#include "files/outcome_lines.h"
#include "image/checksum.h"
#include "pager_fixture.h"
#include "testkit/fault_checks.h"

namespace ccp {
namespace {

using test::PagerFixture;
using Lines = std::vector<std::string>;

// The pager's EEPROM with one settings byte changed and the checksum made good again.
void changePagerByte(PagerFixture& fx, std::size_t offset, std::uint8_t value,
                     bool fixChecksum = true) {
  EepBlock eep = fx.pagerEeprom();
  eep[offset] = value;
  if (fixChecksum) storeChecksum(eep);
  fx.programmer.setEeprom(eep);
}

void expectLinesAtRest(PagerFixture& fx) {
  EXPECT_EQ(testkit::linesNotAtRest(fx.programmer), "");
}

using test::transferOrder;

TEST(ReadFromPager, ShowsThePagersSettings) {
  PagerFixture fx;
  changePagerByte(fx, 0x21, 40);  // contrast
  const std::size_t before = fx.lines().size();
  fx.f().menuItem("ReadFromPager").trigger();
  EXPECT_EQ(fx.linesSince(before), (Lines{"Read data from pager", "Read completed"}));
  EXPECT_EQ(fx.platform.beeps, 0);
  EXPECT_EQ(fx.f().textField("contrast").text(), "40");
  EXPECT_EQ(fx.f().image().eep, fx.pagerEeprom());
  EXPECT_EQ(fx.f().image().decoder, fx.pagerDecoder());
  EXPECT_EQ(fx.f().textField("address1").text(), "2004000");
  EXPECT_EQ(transferOrder(fx.programmer.wireLog()), "DE");
  EXPECT_TRUE(fx.programmer.violations().empty());
  expectLinesAtRest(fx);
}

TEST(ReadFromPager, FailuresLeaveImageAndSettingsUntouched) {
  struct Case {
    const char* what;
    std::function<void(PagerFixture&)> fault;
    BuildConfig config;
    Lines lines;
    int beeps;
  } cases[] = {
      {"no decoder",
       [](PagerFixture& fx) { fx.programmer.decoderChip().setPresent(false); },
       test::kE,
       {"Read data from pager", "Decoder Read error"},
       1},
      {"bad checksum",
       [](PagerFixture& fx) { changePagerByte(fx, 0x21, 41, false); },
       test::kE,
       {"Read data from pager", "Pager Read error, please check the connection."},
       0},
      {"no EEPROM",
       [](PagerFixture& fx) { fx.programmer.eepromChip().setPresent(false); },
       test::kE,
       {"Read data from pager", "Pager Read error, please check the connection."},
       0},
      {"other model",
       [](PagerFixture& fx) { changePagerByte(fx, 0x00, 0x55); },
       test::kE,
       {"Read data from pager", "Model not match!!!"},
       1},
      {"other model H",
       [](PagerFixture& fx) { changePagerByte(fx, 0x00, 0x00); },
       test::kH,
       {"Read data from pager", "Model not match!!!"},
       1},
  };
  for (auto& c : cases) {
    PagerFixture fx(c.config);
    c.fault(fx);
    fx.f().textField("contrast").setText("33");
    const Image image = fx.f().image();
    const std::size_t before = fx.lines().size();
    fx.f().menuItem("ReadFromPager").trigger();
    EXPECT_EQ(fx.linesSince(before), c.lines) << c.what;
    EXPECT_EQ(fx.platform.beeps, c.beeps) << c.what;
    EXPECT_EQ(fx.f().image().eep, image.eep) << c.what;
    EXPECT_EQ(fx.f().image().decoder, image.decoder) << c.what;
    EXPECT_EQ(fx.f().textField("contrast").text(), "33") << c.what;
    expectLinesAtRest(fx);
  }
}

TEST(ReadFromPager, FactoryEditionAndUnknownMarkersSkipTheModelCheck) {
  for (auto [config, marker] : {std::pair{test::kEFactory, 0x55}, std::pair{test::kHFactory, 0x00},
                                std::pair{test::kE, 0x12}, std::pair{test::kH, 0x12}}) {
    PagerFixture fx(config);
    changePagerByte(fx, 0x00, static_cast<std::uint8_t>(marker));
    fx.f().menuItem("ReadFromPager").trigger();
    EXPECT_EQ(fx.lines().back(), "Read completed");
  }
}

TEST(WriteToPager, CustomerEditionReadsThenWritesAndVerifies) {
  for (BuildConfig config : {test::kE, test::kH}) {
    PagerFixture fx(config);
    EepBlock pager = fx.pagerEeprom();
    pager[0x150] = 0xA5;  // the pager's own upper half and preserved bytes go back unchanged
    pager[0x0B] = 0x77;
    pager[0xF8] = 3;  // firmware 3, sub-version B, FS8308
    pager[0xF9] = 'B';
    pager[0xFA] = 0x10;
    storeChecksum(pager);
    fx.programmer.setEeprom(pager);
    fx.f().textField("contrast").setText("50");
    const std::size_t before = fx.lines().size();
    fx.f().menuItem("WriteToPager").trigger();
    EXPECT_EQ(fx.linesSince(before),
              (Lines{"Read data from pager", "Write to Pager...", "Verify OK !"}));
    EXPECT_EQ(fx.platform.beeps, 1);
    const EepBlock written = fx.pagerEeprom();
    EXPECT_EQ(written, fx.f().image().eep);
    EXPECT_EQ(fx.pagerDecoder(), fx.f().image().decoder);
    EXPECT_TRUE(checksumOk(written));
    EXPECT_EQ(written[0x150], 0xA5);
    EXPECT_EQ(written[0x0B], 0x77);
    EXPECT_EQ(written[0x21], 50);
    EXPECT_EQ(written[0xF8], 3);
    EXPECT_EQ(written[0xF9], 'B');
    EXPECT_EQ(written[0xFA] & 0x30, 0x10);
    EXPECT_EQ(fx.f().textField("firmwareversion").text(), "3");
    EXPECT_EQ(fx.f().comboBox("alerttime").count(), 4);
    EXPECT_EQ(transferOrder(fx.programmer.wireLog()), "EDDE");
    EXPECT_TRUE(fx.programmer.violations().empty()) << fx.programmer.violations().size();
    expectLinesAtRest(fx);
  }
}

TEST(WriteToPager, FactoryEditionWritesFromScratchWithTheModelMarker) {
  for (auto [config, marker] :
       {std::pair{test::kEFactory, 0x00}, std::pair{test::kHFactory, 0x55}}) {
    PagerFixture fx(config);
    EepBlock pager = fx.pagerEeprom();
    pager[0x150] = 0xA5;
    pager[0x00] = 0x99;  // never read: any marker will do
    fx.programmer.setEeprom(pager);
    const std::size_t before = fx.lines().size();
    fx.f().menuItem("WriteToPager").trigger();
    EXPECT_EQ(fx.linesSince(before), (Lines{"Write to Pager...", "Verify OK !"}));
    EXPECT_EQ(transferOrder(fx.programmer.wireLog()), "DDE");
    const EepBlock written = fx.pagerEeprom();
    EXPECT_EQ(written[0x00], marker);
    EXPECT_EQ(written[0x150], 0x00);
    EXPECT_TRUE(checksumOk(written));
  }
}

// Every transfer powers the whole pager: faults name the transfer by its power-up, counting the
// customer edition's EEPROM read, decoder write, decoder verify and EEPROM write as 1 to 4.
TEST(WriteToPager, FailuresTable) {
  struct Case {
    const char* what;
    std::function<void(PagerFixture&)> fault;
    Lines lines;
    int beeps;
    bool eepromWritten;
  } cases[] = {
      {"decoder silent",
       [](PagerFixture& fx) { fx.programmer.decoderChip().setPresent(false); },
       {"Read data from pager", "Write to Pager...", "Decoder program error!"},
       1,
       false},
      {"decoder NACK in the third record",
       [](PagerFixture& fx) { fx.programmer.decoderChip().failAckAtByte(60); },
       {"Read data from pager", "Write to Pager...", "Decoder program error!"},
       1,
       false},
      {"decoder silent on verify",
       [](PagerFixture& fx) { fx.programmer.decoderChip().failAckAtByte(1, 3); },
       {"Read data from pager", "Write to Pager...", "Decoder verify fail!"},
       1,
       false},
      {"EEPROM NACK",
       [](PagerFixture& fx) { fx.programmer.eepromChip().failAckAtByte(40, 4); },
       {"Read data from pager", "Write to Pager...", "Pager can't be written"},
       2,
       true},
      {"EEPROM byte not stored",
       [](PagerFixture& fx) { fx.programmer.eepromChip().failStoreAt(0x21); },
       {"Read data from pager", "Write to Pager...", "Verify fail !"},
       2,
       true},
      {"EEPROM upper half flips on read",
       [](PagerFixture& fx) { fx.programmer.eepromChip().flipOnRead(0x180, 0x01); },
       {"Read data from pager", "Write to Pager...", "Verify fail !"},
       2,
       true},
  };
  for (auto& c : cases) {
    PagerFixture fx;
    c.fault(fx);
    fx.f().comboBox("autoinc1").choose(1);
    fx.f().textField("contrast").setText("50");
    const EepBlock pagerBefore = fx.pagerEeprom();
    const std::size_t before = fx.lines().size();
    fx.f().menuItem("WriteToPager").trigger();
    EXPECT_EQ(fx.linesSince(before), c.lines) << c.what;
    EXPECT_EQ(fx.platform.beeps, c.beeps) << c.what;
    if (c.beeps == 2) {
      ASSERT_FALSE(fx.clock.sleeps().empty());
      EXPECT_EQ(fx.clock.sleeps().back(), 200u) << c.what;
    }
    if (!c.eepromWritten) {
      EXPECT_EQ(fx.pagerEeprom(), pagerBefore) << c.what;
    }
    EXPECT_EQ(fx.f().textField("address1").text(), "2004000") << c.what;
    expectLinesAtRest(fx);
  }
}

TEST(WriteToPager, AddressesAdvanceAfterAVerifiedWrite) {
  PagerFixture fx;
  const int steps[] = {1, 2, 3, 8, 5, 6};
  for (int n = 1; n <= 6; ++n) fx.f().comboBox("autoinc" + std::to_string(n)).choose(steps[n - 1]);
  fx.f().menuItem("WriteToPager").trigger();
  ASSERT_EQ(fx.lines().back(), "Verify OK !");
  EXPECT_EQ(fx.f().textField("address1").text(), "2004001");
  EXPECT_EQ(fx.f().textField("address2").text(), "2004010");
  EXPECT_EQ(fx.f().textField("address3").text(), "2004019");
  EXPECT_EQ(fx.f().textField("address4").text(), "2004032");
  EXPECT_EQ(fx.f().textField("address5").text(), "2004032");
  EXPECT_EQ(fx.f().textField("address6").text(), "2004040");
  EXPECT_EQ(fx.f().textField("frame1").text(), "1");
  // The next write programs the next pager with the advanced capcodes.
  fx.f().menuItem("WriteToPager").trigger();
  EXPECT_EQ(fx.f().textField("address1").text(), "2004002");
  EXPECT_EQ(fx.pagerDecoder()[0x18] >> 3, 2004001 % 32);
}

TEST(WriteToPager, AnEmptyFieldStopsBeforeAnythingIsSent) {
  PagerFixture fx;
  fx.f().textField("contrast").edit("", 0);
  const EepBlock pagerBefore = fx.pagerEeprom();
  const std::size_t before = fx.lines().size();
  fx.f().menuItem("WriteToPager").trigger();
  EXPECT_EQ(fx.linesSince(before), (Lines{"Read data from pager"}));
  ASSERT_EQ(fx.platform.errors.size(), 1u);
  EXPECT_EQ(fx.platform.errors[0], "'' is not a valid integer value");
  EXPECT_EQ(transferOrder(fx.programmer.wireLog()), "E");
  EXPECT_EQ(fx.pagerEeprom(), pagerBefore);
  expectLinesAtRest(fx);
}

// A stop asked for in any transfer of a command (Ctrl-C in ccp) ends the command there with its
// own line, not a failure's: no failure line, no beep, no error box, and the lines at rest.
TEST(PagerCommands, AStopEndsTheTransferWithItsOwnLineAndNoBeep) {
  const struct {
    const char* command;
    const char* phase;  // the stop is asked for at its second report: in its transfer
  } cases[] = {
      {"ReadFromPager", "Decoder read"},
      {"WriteToPager", "Decoder write"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.command) + ", " + c.phase);
    PagerFixture fx;
    int reports = 0;
    fx.platform.onProgress = [&](const testkit::FakePlatform::Progress& p) {
      if (p.phase == c.phase && ++reports == 2) fx.platform.stopAsked = true;
    };
    fx.f().menuItem(c.command).trigger();
    EXPECT_EQ(fx.lines().back(), kInterruptedLine);
    EXPECT_EQ(fx.platform.beeps, 0);
    EXPECT_TRUE(fx.platform.errors.empty());
    EXPECT_EQ(fx.f().textField("address1").text(), "2004000");
    expectLinesAtRest(fx);
  }
}

TEST(ParallelPort, Lpt2UsesItsOwnRegistersOnly) {
  PagerFixture fx(test::kE, 632);
  fx.f().menuItem("LPT21").trigger();
  fx.programmer.clearRecords();
  fx.f().menuItem("WriteToPager").trigger();
  EXPECT_EQ(fx.lines().back(), "Verify OK !");
  EXPECT_EQ(fx.programmer.addressesUsed(), (std::set<std::uint16_t>{632, 633, 634}));
  EXPECT_TRUE(fx.programmer.foreignAddresses().empty());
}

TEST(ParallelPort, UntouchedRegisterBitsKeepTheirValues) {
  PagerFixture fx;
  fx.programmer.setDataRegister(0x71);     // bits 0, 4, 5, 6 set; lines at rest
  fx.programmer.setControlRegister(0xEB);  // enable line 2 (bit 2) clear, the rest arbitrary
  fx.f().menuItem("WriteToPager").trigger();
  EXPECT_EQ(fx.lines().back(), "Verify OK !");
  EXPECT_EQ(fx.programmer.dataRegister() & 0x71, 0x71);
  EXPECT_EQ(fx.programmer.dataRegister() & ~0x71 & 0xFF, 0x06);
  EXPECT_EQ(fx.programmer.controlRegister(), 0xEF);
}

TEST(WriteToPager, ProgressFollowsEachTransferAndIsClosedAtTheEnd) {
  PagerFixture fx;
  fx.f().menuItem("WriteToPager").trigger();
  const auto& progress = fx.platform.progress;
  ASSERT_FALSE(progress.empty());
  std::vector<std::string> phases;
  for (const auto& p : progress) {
    if (!p.phase.empty() && (phases.empty() || phases.back() != p.phase)) phases.push_back(p.phase);
  }
  EXPECT_EQ(phases, (std::vector<std::string>{"EEPROM read", "Decoder write", "Decoder verify",
                                              "EEPROM write", "EEPROM verify"}));
  EXPECT_TRUE(progress.back().phase.empty());
}

}  // namespace
}  // namespace ccp
