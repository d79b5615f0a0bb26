// The pager commands hold the port for the whole command and no longer: one claim covers every
// transfer, and a port another program holds ends the command before its first transfer.
#include <gtest/gtest.h>

#include "pager_fixture.h"
#include "testkit/fault_checks.h"

namespace ccp {
namespace {

using test::PagerFixture;
using Lines = std::vector<std::string>;

struct HeldPortCase {
  const char* name;
  BuildConfig config;
  const char* command;
  Lines lines;
};

class HeldPortTest : public testing::TestWithParam<HeldPortCase> {};

TEST_P(HeldPortTest, EndsBeforeTheFirstTransferWithTheConnectionMessage) {
  PagerFixture fx(GetParam().config);
  const EepBlock pagerBefore = fx.pagerEeprom();
  const std::string address1 = fx.f().textField("address1").text();
  fx.programmer.clearRecords();
  fx.programmer.setHeldElsewhere(true);
  const std::size_t before = fx.lines().size();

  fx.f().menuItem(GetParam().command).trigger();

  EXPECT_EQ(fx.linesSince(before), GetParam().lines);
  EXPECT_TRUE(fx.programmer.wireLog().empty());
  EXPECT_TRUE(fx.programmer.addressesUsed().empty());
  EXPECT_EQ(fx.pagerEeprom(), pagerBefore);
  EXPECT_EQ(fx.f().textField("address1").text(), address1);
  EXPECT_EQ(fx.programmer.claimsHeld(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, HeldPortTest,
    testing::Values(
        HeldPortCase{
            "Read", test::kE, "ReadFromPager", {"Read data from pager", "Decoder Read error"}},
        HeldPortCase{
            "CustomerWrite", test::kE, "WriteToPager", {"Read data from pager", "EEP read error"}},
        HeldPortCase{"FactoryWrite",
                     BuildConfig{Model::QPX730E, Edition::Factory},
                     "WriteToPager",
                     {"Write to Pager...", "Decoder program error!"}}),
    [](const testing::TestParamInfo<HeldPortCase>& info) { return info.param.name; });

TEST(PortClaimCommands, OneClaimCoversEveryTransferOfACommand) {
  for (const char* command : {"ReadFromPager", "WriteToPager", "TestProgrammer1"}) {
    PagerFixture fx;
    const int asked = fx.programmer.claimsAsked();
    fx.f().menuItem(command).trigger();
    EXPECT_EQ(fx.programmer.claimsAsked() - asked, 1) << command;
    EXPECT_EQ(fx.programmer.claimsHeld(), 0) << command;
  }
}

TEST(PortClaimCommands, StartUpHoldsThePortOnlyForThePresenceRead) {
  PagerFixture fx;
  EXPECT_EQ(fx.programmer.claimsAsked(), 1);
  EXPECT_EQ(fx.programmer.claimsHeld(), 0);
  EXPECT_EQ(fx.lines().back(), "Port init success.");
}

TEST(PortClaimCommands, APortHeldAtStartUpShowsNoProgrammer) {
  testkit::VirtualClock clock;
  sim::SimulatedProgrammer programmer(clock);
  programmer.setHeldElsewhere(true);
  testkit::FakePlatform platform;
  TForm1 form(test::kE, platform, programmer, clock);
  EXPECT_EQ(form.log().lines().back(),
            "Programmer not conected or power not plug in, please check");
  EXPECT_FALSE(form.menuItem("WriteToPager").enabled());
  EXPECT_TRUE(form.menuItem("TestProgrammer1").enabled());
}

TEST(PortClaimCommands, ProgrammerCheckOnAHeldPortSaysSo) {
  PagerFixture fx;
  fx.programmer.clearRecords();
  fx.programmer.setHeldElsewhere(true);
  const std::size_t before = fx.lines().size();
  fx.f().menuItem("TestProgrammer1").trigger();
  EXPECT_EQ(fx.linesSince(before),
            (Lines{"LPT1 (simulated Programmer): the port is in use by another program",
                   "LPT1 (simulated Programmer): Programmer test failed"}));
  EXPECT_TRUE(fx.programmer.wireLog().empty());
}

}  // namespace
}  // namespace ccp
