#pragma once

#include <string>
#include <vector>

namespace ccp {

class TForm1;

// Where the window shows a setting and what it calls it.
struct SettingPlace {
  std::string page;     // "Address/Folder" or "Setting"
  std::string group;    // the group box around it; empty in the Setting page's columns
  std::string caption;  // the caption beside it, or a model label's name; empty: the check
                        // box's own caption
  std::string number;   // after the caption, when one caption stands over several controls
  std::string name;     // the control's name
};

// Every control of the window that holds a value, page by page in the window's order.
const std::vector<SettingPlace>& settingPlaces();

// The place's label as the window shows it, e.g. "Public header (1)".
std::string settingLabel(TForm1& form, const SettingPlace& place);

}  // namespace ccp
