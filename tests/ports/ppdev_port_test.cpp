#include "ports/ppdev_port.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "link/link_fixture.h"
#include "ports/direct_port.h"
#include "ports/fake_kernel.h"
#include "ports/port_claim.h"

namespace ccp::testing {
namespace {

// A PC with two PCIe cards: LPT1 is parport1 at 0xd010, LPT2 parport2 at 0xe800.
class PpdevTest : public ::testing::Test {
 protected:
  PpdevTest() {
    kernel.addPort(1, 0xD010);
    kernel.addPort(2, 0xE800);
  }
  FakeKernel kernel;
  PpdevPort port{{}, kernel};
};

TEST_F(PpdevTest, OpensAtStartUpButClaimsOnlyInsideAClaim) {
  ASSERT_TRUE(port.obtainAccess());
  EXPECT_EQ(kernel.calls, (std::vector<std::string>{"open /dev/parport1", "open /dev/parport2"}));
  EXPECT_EQ(port.in(kLpt1Base + 1), 0x00) << "the kernel refuses registers of an unclaimed port";
  {
    PortClaim claim(port, kLpt1Base);
    ASSERT_TRUE(claim.held());
    port.out(kLpt1Base, 0x5A);
  }
  EXPECT_EQ(kernel.callsStarting("PP"),
            (std::vector<std::string>{"PPCLAIM 1", "PPWDATA 1 0x5a", "PPRELEASE 1"}));
  EXPECT_FALSE(kernel.port(1).claimed);
  EXPECT_FALSE(kernel.port(2).claimed) << "LPT2 is not taken for LPT1's transfer";
}

TEST_F(PpdevTest, AClaimThatFailsIsNotHeldAndNeverReleased) {
  kernel.port(1).claimFails = true;
  ASSERT_TRUE(port.obtainAccess());
  {
    PortClaim claim(port, kLpt1Base);
    EXPECT_FALSE(claim.held());
  }
  EXPECT_EQ(kernel.callsStarting("PP"), std::vector<std::string>{"PPCLAIM 1"});
  PortClaim again(port, kLpt1Base);  // a later command tries again
  EXPECT_EQ(kernel.callsStarting("PPCLAIM").size(), 2u);
}

TEST_F(PpdevTest, APortAnotherDriverHoldsIsRefusedWithoutWaitingForIt) {
  kernel.port(1).holder = "lp1";
  ASSERT_TRUE(port.obtainAccess());
  EXPECT_FALSE(port.claim(kLpt1Base));
  EXPECT_TRUE(kernel.callsStarting("PPCLAIM").empty()) << "a PPCLAIM would sleep until lp is done";
  kernel.port(1).holder = "none";
  EXPECT_TRUE(port.claim(kLpt1Base));
  port.release(kLpt1Base);
}

TEST_F(PpdevTest, ClaimsNestAndTheOutermostReleaseGivesThePortBack) {
  ASSERT_TRUE(port.obtainAccess());
  {
    PortClaim command(port, kLpt1Base);
    for (int transfer = 0; transfer < 4; ++transfer) PortClaim inner(port, kLpt1Base);
    EXPECT_TRUE(kernel.port(1).claimed);
  }
  EXPECT_EQ(kernel.callsStarting("PP"), (std::vector<std::string>{"PPCLAIM 1", "PPRELEASE 1"}));
}

TEST_F(PpdevTest, ClosingTheProgramReleasesAHeldClaimAndClosesTheDevices) {
  {
    PpdevPort held({}, kernel);
    ASSERT_TRUE(held.obtainAccess());
    ASSERT_TRUE(held.claim(kLpt2Base));
  }
  const std::vector<std::string> tail(kernel.calls.end() - 3, kernel.calls.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"close 1", "PPRELEASE 2", "close 2"}));
}

// Each register address of a name reaches its own register, with the ioctl made for it: the
// data register (PPRDATA/PPWDATA), the status register (PPRSTATUS, never written) and the
// control register (PPRCONTROL/PPWCONTROL).
TEST_F(PpdevTest, EachRegisterAddressReachesItsOwnRegister) {
  ASSERT_TRUE(port.obtainAccess());
  const std::pair<std::uint16_t, int> names[] = {{kLpt1Base, 1}, {kLpt2Base, 2}};
  for (const auto& [base, number] : names) {
    SCOPED_TRACE(base);
    FakeKernel::Port& device = kernel.port(number);
    device.registers = {0x11, 0x22, 0x33};
    PortClaim claim(port, base);
    kernel.calls.clear();
    EXPECT_EQ(port.in(base + 0), 0x11);
    EXPECT_EQ(port.in(base + 1), 0x22);
    EXPECT_EQ(port.in(base + 2), 0x33);
    port.out(base + 0, 0xA0);
    port.out(base + 1, 0xA1);  // the status register cannot be written
    port.out(base + 2, 0xA2);
    const std::string n = " " + std::to_string(number);
    EXPECT_EQ(kernel.calls,
              (std::vector<std::string>{"PPRDATA" + n, "PPRSTATUS" + n, "PPRCONTROL" + n,
                                        "PPWDATA" + n + " 0xa0", "PPWCONTROL" + n + " 0xa2"}));
    EXPECT_EQ(device.registers, (std::array<std::uint8_t, 3>{0xA0, 0x22, 0xA2}));
  }
}

// Whole transfers through a backend, the fake kernel and the simulated Programmer on a PCIe
// card, each inside its own claim.
class BackendTransferTest : public LinkTest {
 protected:
  void wire(FakeKernel::Port& card) {
    card.programmer = &programmer;
    card.programmerBase = kLpt1Base;
  }
  // Reads the EEPROM, then writes the decoder, each transfer in a claim of its own.
  void runTwoClaimedTransfers(PortIo& backend) {
    ProgrammerLink over(backend, clock, [] { return kLpt1Base; });
    programmer.setEeprom(patternEep(4));
    Eep read{};
    {
      PortClaim claim(backend, kLpt1Base);
      ASSERT_TRUE(claim.held());
      EXPECT_EQ(over.eeprom().EepTransfer("04", "r", read), kEepReadDone);
    }
    EXPECT_EQ(read, patternEep(4));
    {
      PortClaim claim(backend, kLpt1Base);
      EXPECT_TRUE(over.decoder().DecoderWriteBlock(patternDecoder(5)));
    }
    const DecoderBytes written = patternDecoder(5);
    EXPECT_TRUE(std::equal(written.begin(), written.end(), programmer.decoder().begin()));
    expectLinesAtRest();
    expectNoViolations();
  }
  FakeKernel kernel;
};

TEST_F(BackendTransferTest, PpdevClaimsAndReleasesAroundEachTransfer) {
  wire(kernel.addPort(0, 0xD010));
  PpdevPort backend({}, kernel);
  ASSERT_TRUE(backend.obtainAccess());
  runTwoClaimedTransfers(backend);

  EXPECT_EQ(kernel.refusedIoctls, 0) << "every register access was inside a claim";
  std::vector<std::string> claims;
  for (const std::string& c : kernel.callsStarting("PP"))
    if (c.starts_with("PPCLAIM") || c.starts_with("PPRELEASE")) claims.push_back(c);
  EXPECT_EQ(claims,
            (std::vector<std::string>{"PPCLAIM 0", "PPRELEASE 0", "PPCLAIM 0", "PPRELEASE 0"}));
  EXPECT_EQ(kernel.callsStarting("PP").front(), "PPCLAIM 0");
  EXPECT_EQ(kernel.callsStarting("PP").back(), "PPRELEASE 0");
}

TEST_F(BackendTransferTest, DirectIoDrivesTheCardAtItsOwnAddress) {
  wire(kernel.addPort(-1, 0xD010));  // a card the parport driver does not list
  DirectPort backend({NamedDevice{NamedDevice::Kind::Address, 0xD010}, {}}, kernel);
  ASSERT_TRUE(backend.obtainAccess());
  runTwoClaimedTransfers(backend);
  const std::set<std::string> registers = {"0xd010", "0xd011", "0xd012"};
  for (const std::string& c : kernel.calls) {
    if (!c.starts_with("inb") && !c.starts_with("outb")) continue;
    std::istringstream words(c);
    std::string instruction, address;
    words >> instruction >> address;
    ASSERT_TRUE(registers.count(address)) << c;
  }
}

}  // namespace
}  // namespace ccp::testing
