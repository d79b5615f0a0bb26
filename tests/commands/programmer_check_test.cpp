// Parallel Port > Test Programmer on the simulated Programmer: each check named in the log, the
// lines at rest afterwards, nothing written to the pager.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "pager_fixture.h"
#include "testkit/fault_checks.h"

namespace ccp::test {
namespace {

const std::string kPort = "LPT1 (simulated Programmer): ";

struct ProgrammerCheckCase {
  const char* name;
  std::function<void(sim::SimulatedProgrammer&)> fault;
  std::vector<std::string> lines;
  int beeps;
};

class ProgrammerCheckTest : public testing::TestWithParam<ProgrammerCheckCase> {};

TEST_P(ProgrammerCheckTest, NamesEveryCheckAndLeavesTheLinesAtRest) {
  PagerFixture p;
  const EepBlock eepromBefore = p.pagerEeprom();
  const DecoderBlock decoderBefore = p.pagerDecoder();
  GetParam().fault(p.programmer);
  const std::size_t logBefore = p.lines().size();
  const int beepsBefore = p.platform.beeps;

  p.f().menuItem("TestProgrammer1").trigger();

  std::vector<std::string> expected;
  for (const std::string& line : GetParam().lines) expected.push_back(kPort + line);
  EXPECT_EQ(p.linesSince(logBefore), expected);
  EXPECT_EQ(p.platform.beeps - beepsBefore, GetParam().beeps);
  EXPECT_EQ(testkit::linesNotAtRest(p.programmer), "");
  EXPECT_TRUE(p.programmer.violations().empty());
  EXPECT_EQ(p.pagerEeprom(), eepromBefore);
  EXPECT_EQ(p.pagerDecoder(), decoderBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ProgrammerCheckTest,
    testing::Values(
        ProgrammerCheckCase{"PagerPluggedIn",
                            [](sim::SimulatedProgrammer&) {},
                            {"Programmer present", "SDA can be driven low", "SDA is released high",
                             "EEPROM answers", "decoder answers", "Programmer test passed"},
                            0},
        ProgrammerCheckCase{
            "NoPager",
            [](sim::SimulatedProgrammer& s) { s.setNoPager(true); },
            {"Programmer present", "SDA can be driven low", "SDA is released high",
             "EEPROM does not answer", "decoder does not answer", "Programmer test failed"},
            1},
        ProgrammerCheckCase{"NoPower",
                            [](sim::SimulatedProgrammer& s) { s.setNoPower(true); },
                            {"Programmer not connected or not powered", "SDA can be driven low",
                             "SDA is released high", "EEPROM does not answer",
                             "decoder does not answer", "Programmer test failed"},
                            1},
        ProgrammerCheckCase{
            "SdaStuckLow",
            [](sim::SimulatedProgrammer& s) { s.setSdaStuckLow(true); },
            {"Programmer present", "SDA can be driven low",
             "SDA stuck low: check the pager and its power", "Programmer test failed"},
            1}),
    [](const testing::TestParamInfo<ProgrammerCheckCase>& info) { return info.param.name; });

TEST(ProgrammerCheckMenuTest, EnabledWithPortAccessEvenWithoutAProgrammer) {
  for (bool granted : {true, false}) {
    testkit::VirtualClock clock;
    sim::SimulatedProgrammer programmer(clock);
    programmer.setAccessGranted(granted);
    programmer.setNoPower(true);
    testkit::FakePlatform platform;
    TForm1 form(kE, platform, programmer, clock);
    EXPECT_EQ(form.menuItem("TestProgrammer1").enabled(), granted);
    EXPECT_FALSE(form.menuItem("WriteToPager").enabled());
  }
}

}  // namespace
}  // namespace ccp::test
