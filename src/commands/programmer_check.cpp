#include "commands/programmer_check.h"

#include <string>
#include <vector>

#include "commands/menu_hold.h"
#include "commands/port_label.h"
#include "link/decoder_protocol.h"
#include "link/eeprom_protocol.h"
#include "link/programmer_link.h"
#include "ports/port_claim.h"
#include "ports/port_registers.h"
#include "shell/form.h"

namespace ccp {

namespace {

// Sends one device byte after a start condition and reports the acknowledge.
bool answers(Bus& bus, std::uint8_t deviceByte, bool formB) {
  formB ? bus.StartB() : bus.StartA();
  bus.SendByte(deviceByte);
  const bool ack = bus.GetAck();
  formB ? bus.StopB() : bus.StopA();
  return ack;
}

struct Check {
  bool passed;
  const char* good;
  const char* bad;
};

// The lines powered and closed as an EEPROM transfer does: presence, the SDA loop-back, then
// the EEPROM's device byte when SDA works.
std::vector<Check> checkLinesAndEeprom(TForm1& form, ProgrammerLink& link) {
  Lines& lines = link.lines();
  Bus& bus = link.bus();
  lines.LinesOn();
  form.clock().sleepMs(EepromProtocol::kLinesOnSettleMs);
  bus.BusUp();
  std::vector<Check> checks;
  checks.push_back(
      {lines.programmerPresent(), "Programmer present", "Programmer not connected or not powered"});
  lines.SdaLow();
  const bool low = !lines.sdaSensed();
  const bool released = lines.ReadSda();
  checks.push_back({low, "SDA can be driven low", "SDA does not go low: check the cable"});
  checks.push_back(
      {released, "SDA is released high", "SDA stuck low: check the pager and its power"});
  if (low && released) {
    checks.push_back({answers(bus, EepromProtocol::kDeviceWrite, false), "EEPROM answers",
                      "EEPROM does not answer"});
  }
  bus.BusDown();
  lines.LinesOff();
  return checks;
}

// The lines powered and closed as a decoder transfer does, for the decoder's device byte.
Check checkDecoder(TForm1& form, ProgrammerLink& link) {
  Lines& lines = link.lines();
  Bus& bus = link.bus();
  lines.LinesOn();
  bus.BusUp();
  const bool ack = answers(bus, DecoderProtocol::kDecoderWriteAddress, true);
  form.clock().waitMs(DecoderProtocol::kRegisterMs);
  lines.LinesOff();
  bus.BusDown();
  return {ack, "decoder answers", "decoder does not answer"};
}

}  // namespace

void TestProgrammerClick(TForm1& form) {
  const MenuHold hold(form);
  const std::string label = portLabel(form) + ": ";
  const PortClaim claim(form.port(), static_cast<std::uint16_t>(form.portBase()));
  if (!claim) {
    form.logLine(label + "the port is in use by another program");
    form.logLine(label + "Programmer test failed");
    form.beep();
    return;
  }
  ProgrammerLink link(form.port(), form.clock(),
                      [&form] { return static_cast<std::uint16_t>(form.portBase()); });
  std::vector<Check> checks = checkLinesAndEeprom(form, link);
  // A data line that does not work makes every acknowledge meaningless.
  const bool sdaWorks = checks.size() == 4;
  if (sdaWorks) checks.push_back(checkDecoder(form, link));

  bool allPassed = sdaWorks;
  for (const Check& check : checks) {
    form.logLine(label + (check.passed ? check.good : check.bad));
    allPassed = allPassed && check.passed;
  }
  form.logLine(label + (allPassed ? "Programmer test passed" : "Programmer test failed"));
  if (!allPassed) form.beep();
}

}  // namespace ccp
