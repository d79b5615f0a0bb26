#pragma once

#include <string>
#include <vector>

namespace ccp::cli {

// Where the window shows a setting and what it calls it.
struct SettingPlace {
  std::string page;   // "Address/Folder" or "Setting"
  std::string group;  // the group box around it; empty in the Setting page's columns
  std::string label;  // the caption beside it; empty: the check box's own caption
  std::string name;   // the control's name
};

// Every control of the window that holds a value, page by page in the window's order.
const std::vector<SettingPlace>& settingPlaces();

}  // namespace ccp::cli
