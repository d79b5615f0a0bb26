// Which system port LPT1 and LPT2 mean, for both backends, on fake kernels.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include "ports/best_port.h"
#include "ports/direct_port.h"
#include "ports/fake_kernel.h"
#include "ports/port_claim.h"
#include "ports/port_registers.h"
#include "ports/ppdev_port.h"

namespace ccp::testing {
namespace {

enum class Backend { Ppdev, Direct };
constexpr Backend kBackends[] = {Backend::Ppdev, Backend::Direct};

const char* backendName(Backend b) {
  return b == Backend::Ppdev ? "ppdev" : "direct I/O";
}

std::unique_ptr<MappedPort> makePort(Backend b, FakeKernel& kernel, PortChoice choice = {}) {
  if (b == Backend::Ppdev) return std::make_unique<PpdevPort>(choice, kernel);
  return std::make_unique<DirectPort>(choice, kernel);
}

struct Listed {
  int number;
  std::uint16_t base;
};

std::uint8_t statusOf(int number) {
  return static_cast<std::uint8_t>(0x80 | number);  // tells the ports apart
}

void addPorts(FakeKernel& kernel, const std::vector<Listed>& ports) {
  for (const Listed& p : ports) kernel.addPort(p.number, p.base).registers[1] = statusOf(p.number);
}

// How a backend names parportN.
std::string nameOf(Backend b, const std::vector<Listed>& ports, std::optional<int> number) {
  if (!number) return "";
  if (b == Backend::Ppdev) return "/dev/parport" + std::to_string(*number);
  for (const Listed& p : ports)
    if (p.number == *number) return deviceText({NamedDevice::Kind::Address, p.base});
  return "?";
}

struct MappingCase {
  const char* name;
  std::vector<Listed> ports;  // in the order /proc lists them
  std::optional<int> lpt1;    // N of the port each name means
  std::optional<int> lpt2;
};

const MappingCase kMappingCases[] = {
    {"0x378 and 0x278", {{0, 0x378}, {1, 0x278}}, 0, 1},
    {"0x378 only", {{0, 0x378}}, 0, std::nullopt},
    {"0x278 only", {{0, 0x278}}, 0, std::nullopt},
    {"0x278 listed before 0x378", {{0, 0x278}, {1, 0x378}}, 1, 0},
    {"two PCIe cards", {{0, 0xD010}, {1, 0xE800}}, 0, 1},
    {"0x278 after a PCIe card", {{0, 0xD010}, {1, 0x278}}, 0, 1},
    {"a PCIe card after 0x278", {{0, 0x278}, {1, 0xD010}}, 0, 1},
    {"0x378 after two PCIe cards", {{0, 0xD010}, {1, 0xE800}, {2, 0x378}}, 2, 0},
    {"listed out of N order", {{2, 0xE800}, {1, 0xD010}}, 1, 2},
    {"none", {}, std::nullopt, std::nullopt},
};

TEST(PortMapping, EachNameMeansThePortTheRulesPick) {
  for (const MappingCase& c : kMappingCases) {
    for (Backend b : kBackends) {
      SCOPED_TRACE(std::string(c.name) + ", " + backendName(b));
      FakeKernel kernel;
      addPorts(kernel, c.ports);
      const auto port = makePort(b, kernel);
      EXPECT_EQ(port->obtainAccess(), c.lpt1 || c.lpt2);
      EXPECT_EQ(port->portName(kLpt1Base), nameOf(b, c.ports, c.lpt1));
      EXPECT_EQ(port->portName(kLpt2Base), nameOf(b, c.ports, c.lpt2));
      // Each name reads its own port's status register; a name without a port reads 0x00.
      const std::pair<std::uint16_t, std::optional<int>> names[] = {{kLpt1Base, c.lpt1},
                                                                    {kLpt2Base, c.lpt2}};
      for (const auto& [base, number] : names) {
        PortClaim claim(*port, base);
        EXPECT_TRUE(claim.held());
        EXPECT_EQ(port->in(base + 1), number ? statusOf(*number) : 0x00) << base;
      }
    }
  }
}

TEST(PortMapping, DirectIoTakesTheLegacyAddressesWhenNoParportDriverListsPorts) {
  FakeKernel kernel;
  kernel.parportLoaded = false;
  DirectPort direct({}, kernel);
  EXPECT_TRUE(direct.obtainAccess());
  EXPECT_EQ(direct.portName(kLpt1Base), "0x378");
  EXPECT_EQ(direct.portName(kLpt2Base), "0x278");
  EXPECT_EQ(kernel.callsStarting("ioperm"),
            (std::vector<std::string>{"ioperm 0x378 3", "ioperm 0x278 3"}));

  PpdevPort ppdev({}, kernel);
  EXPECT_FALSE(ppdev.obtainAccess());
}

// The user's --lpt1/--lpt2 choices, on a PC with ports at 0x378, 0x278 and a PCIe card at
// 0xd010, and a second card at 0xe800 that the parport driver does not list.
struct OverrideCase {
  const char* name;
  PortChoice choice;
  std::pair<const char*, const char*> ppdev;  // LPT1 and LPT2 names
  std::pair<const char*, const char*> direct;
  bool ppdevReachesChoice;
  bool directReachesChoice;
};

NamedDevice dev(unsigned n) {
  return {NamedDevice::Kind::Ppdev, n};
}
NamedDevice at(unsigned base) {
  return {NamedDevice::Kind::Address, base};
}

const OverrideCase kOverrideCases[] = {
    {"LPT1 a device",
     {dev(2), {}},
     {"/dev/parport2", "/dev/parport1"},
     {"0xd010", "0x278"},
     true,
     true},
    {"LPT2 the port at 0x378",
     {{}, at(0x378)},
     {"/dev/parport1", "/dev/parport0"},
     {"0x278", "0x378"},
     true,
     true},
    {"both",
     {at(0xD010), dev(0)},
     {"/dev/parport2", "/dev/parport0"},
     {"0xd010", "0x378"},
     true,
     true},
    {"LPT1 an unlisted card",
     {at(0xE800), {}},
     {"", "/dev/parport1"},
     {"0xe800", "0x278"},
     false,
     true},
    {"LPT2 a missing device", {{}, dev(7)}, {"/dev/parport0", ""}, {"0x378", ""}, false, false},
    {"both the same port",
     {dev(1), dev(1)},
     {"/dev/parport1", "/dev/parport1"},
     {"0x278", "0x278"},
     true,
     true},
};

void addOverridePorts(FakeKernel& kernel) {
  addPorts(kernel, {{0, 0x378}, {1, 0x278}, {2, 0xD010}});
  kernel.addPort(-1, 0xE800);
}

TEST(PortMapping, ANameTheUserChoseMeansThatPortAndTheOtherAvoidsIt) {
  for (const OverrideCase& c : kOverrideCases) {
    for (Backend b : kBackends) {
      SCOPED_TRACE(std::string(c.name) + ", " + backendName(b));
      FakeKernel kernel;
      addOverridePorts(kernel);
      const auto port = makePort(b, kernel, c.choice);
      const auto& names = b == Backend::Ppdev ? c.ppdev : c.direct;
      EXPECT_TRUE(port->obtainAccess());
      EXPECT_EQ(port->portName(kLpt1Base), names.first);
      EXPECT_EQ(port->portName(kLpt2Base), names.second);
      EXPECT_EQ(port->reachesChoice(),
                b == Backend::Ppdev ? c.ppdevReachesChoice : c.directReachesChoice);
      EXPECT_LE(kernel.callsStarting("open").size(), 2u);
      EXPECT_LE(kernel.callsStarting("ioperm").size(), 2u);
    }
  }
}

TEST(PortMapping, OnePortChosenForBothNamesIsOpenedOnce) {
  FakeKernel kernel;
  addOverridePorts(kernel);
  PpdevPort port({dev(1), dev(1)}, kernel);
  ASSERT_TRUE(port.obtainAccess());
  EXPECT_EQ(kernel.callsStarting("open"), std::vector<std::string>{"open /dev/parport1"});
  PortClaim lpt1(port, kLpt1Base);
  PortClaim lpt2(port, kLpt2Base);  // the same device: the claim nests
  EXPECT_TRUE(lpt1.held() && lpt2.held());
  EXPECT_EQ(kernel.callsStarting("PPCLAIM").size(), 1u);
}

TEST(BestPort, PrefersTheBackendThatReachesEveryChosenPort) {
  struct Case {
    const char* name;
    PortChoice choice;
    bool root;
    const char* lpt1;
    const char* lpt2;
  };
  const Case cases[] = {
      {"no choice: ppdev", {}, true, "/dev/parport0", "/dev/parport1"},
      {"an unlisted card: direct I/O", {at(0xE800), {}}, true, "0xe800", "0x278"},
      {"an unlisted card, not root: ppdev", {at(0xE800), {}}, false, "", "/dev/parport1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeKernel kernel;
    addOverridePorts(kernel);
    kernel.root = c.root;
    const auto port = openBestPort(c.choice, kernel);
    EXPECT_TRUE(port->obtainAccess());
    EXPECT_EQ(port->portName(kLpt1Base), c.lpt1);
    EXPECT_EQ(port->portName(kLpt2Base), c.lpt2);
    EXPECT_TRUE(port->signalSafe()) << "a second Ctrl-C puts the lines at rest";
  }
}

TEST(BestPort, FallsBackToDirectIoWhenPpdevIsNotThere) {
  FakeKernel kernel;
  addPorts(kernel, {{0, 0xD010}});
  kernel.port(0).device = false;  // ppdev not loaded
  const auto port = openBestPort({}, kernel);
  EXPECT_TRUE(port->obtainAccess());
  EXPECT_EQ(port->portName(kLpt1Base), "0xd010");
}

TEST(PortAccess, PermissionDeniedRefusesWhereNoNameIsReachable) {
  FakeKernel kernel;
  addPorts(kernel, {{0, 0x378}, {1, 0x278}});
  kernel.port(0).mayOpen = false;
  kernel.port(1).mayOpen = false;
  kernel.root = false;
  EXPECT_FALSE(PpdevPort({}, kernel).obtainAccess());
  EXPECT_FALSE(DirectPort({}, kernel).obtainAccess());
  const auto best = openBestPort({}, kernel);
  EXPECT_FALSE(best->obtainAccess());
  EXPECT_FALSE(best->claim(kLpt1Base));
}

TEST(PortAccess, OneReachableNameIsEnoughAndTheOtherReadsAsNoProgrammer) {
  FakeKernel kernel;
  addPorts(kernel, {{0, 0x378}, {1, 0x278}});
  kernel.port(0).mayOpen = false;
  PpdevPort port({}, kernel);
  ASSERT_TRUE(port.obtainAccess());
  EXPECT_EQ(port.portName(kLpt1Base), "");
  EXPECT_EQ(port.portName(kLpt2Base), "/dev/parport1");

  PortClaim claim(port, kLpt1Base);
  EXPECT_TRUE(claim.held()) << "nothing to claim: the transfer ends with its connection message";
  for (std::uint16_t offset = 0; offset < 3; ++offset) {
    port.out(kLpt1Base + offset, 0xFF);
    EXPECT_EQ(port.in(kLpt1Base + offset), 0x00) << offset;
  }
  EXPECT_TRUE(kernel.callsStarting("PP").empty());
}

}  // namespace
}  // namespace ccp::testing
