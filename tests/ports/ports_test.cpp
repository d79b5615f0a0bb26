#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "ports/port_claim.h"
#include "ports/port_registers.h"
#include "ports/ppdev_port.h"
#include "ports/refusing_port.h"

namespace ccp {
namespace {

TEST(PpdevPort, BaseAddressIsTheFirstDecimalValue) {
  const std::pair<const char*, unsigned> cases[] = {
      {"888\t1920\n", 888}, {"632\t-1\n", 632}, {"  888", 888}, {"", 0},
      {"none", 0},          {"9999999999", 0},
  };
  for (const auto& [text, base] : cases) EXPECT_EQ(firstBaseAddress(text), base) << text;
}

// Through the real system calls: a device that opens but is no parallel port cannot be claimed,
// and then reads as no Programmer.
TEST(PpdevPort, RefusesTheClaimOfADeviceThatIsNoParallelPort) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("ccp_ppdev_" + std::to_string(getpid()));
  fs::create_directories(dir / "parport0");
  std::ofstream(dir / "parport0" / "base-addr") << "888\t1920\n";
  std::ofstream(dir / "dev0") << "";  // opens, but is no parallel port: the claim fails

  PpdevPort port({}, realSysPortCalls(), {dir.string(), (dir / "dev").string()});
  EXPECT_TRUE(port.obtainAccess());
  EXPECT_EQ(port.portName(kLpt1Base), (dir / "dev0").string());
  EXPECT_FALSE(PortClaim(port, kLpt1Base).held());
  EXPECT_EQ(port.in(kLpt1Base + 1), 0x00);
  port.out(kLpt1Base, 0x00);  // ignored, harmless
  fs::remove_all(dir);
}

TEST(Ports, RefusingPortNeverGrantsAccess) {
  RefusingPort port;
  EXPECT_FALSE(port.obtainAccess());
  EXPECT_EQ(port.in(kLpt1Base), 0xFF);
  EXPECT_FALSE(port.claim(kLpt1Base));
}

}  // namespace
}  // namespace ccp
