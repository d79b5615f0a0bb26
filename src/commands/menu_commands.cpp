#include "commands/menu_commands.h"

#include "commands/file_commands.h"
#include "commands/pager_commands.h"
#include "commands/programmer_check.h"
#include "ports/port_registers.h"
#include "shell/form.h"

namespace ccp {

std::string windowTitle(const BuildConfig& config) {
  std::string edition = config.edition == Edition::Factory ? "Factory" : "Customer";
  return modelName(config.model) + " Capcode Programmer-" + edition + " version";
}

std::string aboutLine(const BuildConfig& config) {
  return config.model == Model::QPX730H ? "QPX730H CCP V1.4"
                                        : "QPX730E CCP V1.4, support firmware version 1-4";
}

void bindMenuCommands(TForm1& form) {
  form.menuItem("About1").onClick = [&form] { form.logLine(aboutLine(form.config())); };
  form.menuItem("Exit1").onClick = [&form] {
    if (form.onCloseRequested) form.onCloseRequested();
  };
  // Switching the port neither repeats the presence test nor re-enables the pager commands.
  form.menuItem("LPT11").onClick = [&form] {
    form.setPortBase(kLpt1Base);
    form.menuItem("LPT11").setChecked(true);
    form.menuItem("LPT21").setChecked(false);
  };
  form.menuItem("LPT21").onClick = [&form] {
    form.setPortBase(kLpt2Base);
    form.menuItem("LPT21").setChecked(true);
    form.menuItem("LPT11").setChecked(false);
  };
  form.menuItem("TestProgrammer1").onClick = [&form] { TestProgrammerClick(form); };
  bindFileCommands(form);
  bindPagerCommands(form);
}

}  // namespace ccp
