#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/setting_names.h"
#include "shell/controls.h"

namespace ccp {
class TForm1;
}

namespace ccp::cli {

// A control's value as the window shows it, in UTF-8: a text field's text, a list's chosen
// item, a check box's "on" or "off".
std::string shownValue(const TForm1& form, const Control& control);

// A value as show, diff and set print it: escaped for the terminal; a text with blanks at
// either end, or none at all, quoted.
std::string printedValue(ControlKind kind, const std::string& value);

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
