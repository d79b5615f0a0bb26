#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/setting_names.h"
#include "commands/setting_text.h"
#include "shell/controls.h"

namespace ccp {
class TForm1;
}

namespace ccp::cli {

// A value as the window shows it, and as show, diff and set print it.
using ccp::printedValue;
using ccp::shownValue;

// One setting as the window shows it.
struct ShownSetting {
  const SettingPlace* place;
  std::string label;  // settingLabel(): the caption as the window shows it
  ControlKind kind;
  std::string value;    // shownValue()
  bool hidden = false;  // the window does not show it, in this build or firmware version
};

std::vector<ShownSetting> shownSettings(TForm1& form);

// Page by page, group by group: "label  value  (name)", each value as printedValue() has it,
// and "hidden" after a setting the window hides.
void printSettings(std::ostream& out, const std::vector<ShownSetting>& settings);
// {"<page>": {"<control name>": value, ...}, ...}: check boxes as true or false, the rest as text.
void printSettingsJson(std::ostream& out, const std::vector<ShownSetting>& settings);

// The settings whose values differ, side by side under the two headings; how many differ.
// Both lists come from shownSettings().
std::size_t printDifferences(std::ostream& out, const std::vector<ShownSetting>& a,
                             const std::vector<ShownSetting>& b, const std::string& headingA,
                             const std::string& headingB);

}  // namespace ccp::cli
