#include "app/startup.h"

#include "commands/menu_commands.h"
#include "link/lines.h"
#include "ports/port_claim.h"
#include "ports/port_io.h"
#include "ports/port_registers.h"
#include "rules/bindings.h"
#include "rules/setting_rules.h"
#include "shell/form.h"
#include "shell/model_setup.h"

namespace ccp {

// A started window: the form with its defaults, every rule and command bound, then start-up.
TForm1::TForm1(BuildConfig config, Platform& platform, PortIo& port, Clock& clock)
    : TForm1(Unstarted{}, config, platform, port, clock) {
  rules::bindAll(*this);
  bindMenuCommands(*this);
  startUp(*this);
}

namespace {

void testPortAndProgrammer(TForm1& form) {
  if (!form.port().obtainAccess()) {
    form.beep();
    form.logLine("Driver missing or disable, can't access the paraller port.");
    form.menuItem("ReadFromPager").setEnabled(false);
    form.menuItem("WriteToPager").setEnabled(false);
    form.menuItem("TestProgrammer1").setEnabled(false);  // nothing to test without the port
    return;
  }
  form.logLine("Port init success.");
  // The presence bit can only be read while the port is held; a port another program holds
  // cannot show a Programmer.
  const PortClaim claim(form.port(), static_cast<std::uint16_t>(form.portBase()));
  Lines lines(form.port(), form.clock(),
              [&form] { return static_cast<std::uint16_t>(form.portBase()); });
  if (!claim || !lines.programmerPresent()) {
    form.beep();
    form.logLine("Programmer not conected or power not plug in, please check");
    form.menuItem("WriteToPager").setEnabled(false);
    form.menuItem("ReadFromPager").setEnabled(false);
  }
}

}  // namespace

void startUp(TForm1& form) {
  const BuildConfig& config = form.config();
  form.setPortBase(kLpt1Base);
  form.logLine(aboutLine(config));
  testPortAndProgrammer(form);
  applyModel(form);
  applyEdition(form);
  form.setTitle(windowTitle(config));
  if (config.edition == Edition::Factory && config.model == Model::QPX730E) {
    form.beep();
    form.logLine("Before programming the pager, corrected firmware version muse be entried.");
  }
  rules::firmwareversionChange(form);
}

}  // namespace ccp
