#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

// What each page of the window shows beside its controls, in the window's order: the page's
// name, its groups and the captions over and beside each control. The window lays them out;
// the command line names every setting by them. A check box's own caption and a model label's
// caption belong to the control (see form_controls.cpp).
namespace ccp::pages {

// A model label's name starts with this; the form holds its caption and whether it shows.
inline constexpr std::string_view kModelLabelPrefix = "L_";
inline bool isModelLabel(std::string_view name) {
  return name.starts_with(kModelLabelPrefix);
}

// Page "Address/Folder".
inline constexpr const char* kAddressPage = "Address/Folder";
inline constexpr const char* kAddressGroup = "Address";

// A column of the address rows: its heading; a row's control is prefix + row (1-6) + suffix.
struct AddressColumn {
  const char* heading;
  const char* prefix;
  const char* suffix;
};
inline constexpr AddressColumn kAddressColumns[] = {
    {"", "addr", "en"},  // the row's check box, captioned by itself
    {"PN", "address", ""},
    {"Fm", "frame", ""},
    {"Auto inc", "autoinc", ""},
    {"Msg type", "msgtype", ""},
    {"A Tone", "addr", "formatA"},
    {"B Tone", "addr", "formatB"},
    {"C Tone", "addr", "formatC"},
    {"D Tone", "addr", "formatD"},
};
std::string addressControl(const AddressColumn& column, int row);

inline constexpr const char* kFolderGroup = "Message Folder";
inline constexpr int kFolders = 16;

// A folder's controls, each the prefix + the folder's digit (folderDigit), under its heading.
struct FolderColumn {
  const char* heading;
  const char* prefix;
};
inline constexpr FolderColumn kFolderCheck = {"", "pubboxact"};  // captioned by itself
inline constexpr FolderColumn kFolderTitle = {"Title", "pubbox"};
inline constexpr FolderColumn kFolderLength = {"Length", "pubboxlength"};
inline constexpr FolderColumn kFolderColumns[] = {kFolderCheck, kFolderTitle, kFolderLength};

// Page "Setting": two groups at the top, then the rows of the left and middle columns and,
// on the right, the check boxes, the service rows and the firmware row.
inline constexpr const char* kSettingPage = "Setting";
inline constexpr const char* kGreetingGroup = "Hello Message";
inline constexpr const char* kGreeting = "hellomsg1";

inline constexpr const char* kToneGroup = "Tone pattern";
struct Captioned {
  const char* caption;
  const char* name;
};
// Down the first column, then the second.
inline constexpr Captioned kTonePatterns[] = {
    {"A", "tonepatternA"},
    {"B", "tonepatternB"},
    {"C", "tonepatternC"},
    {"D", "tonepatternD"},
    {"Power On", "tonepatternPon"},
    {"Low Cell", "tonepatternLcell"},
    {"Urgent call", "tonepatternUcall"},
};
inline constexpr int kTonePatternRows = 4;

// An item of a row after its label: a control, a model label, or a fixed caption.
struct RowItem {
  const char* text;
  bool caption = false;  // a fixed caption, not a name
};

// A labelled row: the label is a fixed caption or a model label.
struct PageRow {
  const char* label;
  std::vector<RowItem> items;
};

std::span<const PageRow> settingLeftRows();
std::span<const PageRow> settingMiddleRows();
std::span<const char* const> settingChecks();
// Hidden until the service code is entered.
std::span<const PageRow> settingServiceRows();
const PageRow& settingFirmwareRow();

}  // namespace ccp::pages
