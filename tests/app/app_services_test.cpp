// The simulator build's services: a Programmer that is granted and present, with a pager of the
// built model in it.
#include "app/app_services.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/program_version.h"
#include "files/outcome_lines.h"
#include "files/temp_folder.h"
#include "image/checksum.h"
#include "image/layout.h"
#include "shell/form.h"
#include "sim/simulated_programmer.h"
#include "testkit/fake_platform.h"

namespace ccp {
namespace {

TEST(AppServicesTest, SimulatorStartsWithAPresentProgrammer) {
  ApplicationServices services(BuildConfig{}, PortKind::Simulator);
  testkit::FakePlatform platform;
  TForm1 form(BuildConfig{}, platform, services.port(), services.clock());
  EXPECT_EQ(form.log().lines().back(), "Port init success.");
  EXPECT_TRUE(form.menuItem("WriteToPager").enabled());
  EXPECT_EQ(platform.beeps, 0);
}

TEST(AppServicesTest, SimulatedPagerHoldsAValidImageOfItsModel) {
  for (Model model : {Model::QPX730E, Model::QPX730H}) {
    ApplicationServices services(BuildConfig{model, Edition::Customer}, PortKind::Simulator);
    auto& programmer = dynamic_cast<sim::SimulatedProgrammer&>(services.port());
    EepBlock eep{};
    std::copy(programmer.eeprom().begin(), programmer.eeprom().end(), eep.begin());
    EXPECT_TRUE(checksumOk(eep));
    EXPECT_EQ(eep[eep::kModelMarker], modelMarker(model));
  }
}

EepBlock simulatedEeprom(ApplicationServices& services) {
  auto& programmer = dynamic_cast<sim::SimulatedProgrammer&>(services.port());
  EepBlock eep{};
  std::copy(programmer.eeprom().begin(), programmer.eeprom().end(), eep.begin());
  return eep;
}

TEST(AppServicesTest, TheSimulatedPagerIsKeptBetweenRunsUnlessAFreshOneIsAsked) {
  test::TempFolder folder;
  const KeptPager kept{folder.file("data/simulated-pager.eep")};
  EepBlock changed{};
  {
    ApplicationServices services(BuildConfig{}, PortKind::Simulator, {}, kept);
    changed = simulatedEeprom(services);
    changed[0x100] ^= 0xFF;
    dynamic_cast<sim::SimulatedProgrammer&>(services.port()).setEeprom(changed);
    EXPECT_EQ(services.keepSimulatedPager(), "");
  }
  ApplicationServices again(BuildConfig{}, PortKind::Simulator, {}, kept);
  EXPECT_EQ(simulatedEeprom(again), changed);
  ApplicationServices fresh(BuildConfig{}, PortKind::Simulator, {}, {kept.file, true});
  EXPECT_NE(simulatedEeprom(fresh), changed);
  EXPECT_TRUE(checksumOk(simulatedEeprom(fresh)));
}

// The pager is in its file once a write is verified, not only when the program ends: a kill
// right after that line keeps it written.
TEST(AppServicesTest, TheSimulatedPagerIsKeptAsSoonAsAWriteIsVerified) {
  test::TempFolder folder;
  const KeptPager kept{folder.file("simulated-pager.eep")};
  ApplicationServices services(BuildConfig{}, PortKind::Simulator, {}, kept);
  MessageLog log;
  services.keepSimulatedPagerWhenVerified(log);
  EepBlock changed = simulatedEeprom(services);
  changed[0x100] ^= 0xFF;
  dynamic_cast<sim::SimulatedProgrammer&>(services.port()).setEeprom(changed);
  log.append("Write to Pager...");
  EXPECT_FALSE(std::filesystem::exists(kept.file));
  log.append(kVerifiedLine);
  const auto bytes = test::readBytes(kept.file);
  ASSERT_EQ(bytes.size(), kFileSize);
  EXPECT_TRUE(std::equal(changed.begin(), changed.end(), bytes.begin()));
}

TEST(AppServicesTest, VersionNamesModelEditionAndPort) {
  EXPECT_EQ(versionText(BuildConfig{Model::QPX730H, Edition::Factory}, PortKind::Simulator),
            "QPX730H CCP V1.4\nQPX730H, factory edition, simulator build\n");
}

}  // namespace
}  // namespace ccp
