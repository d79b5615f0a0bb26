#include "cli/setting_names.h"

#include <initializer_list>
#include <utility>

#include "shell/form_controls.h"

namespace ccp::cli {

namespace {

const char* const kAddressPage = "Address/Folder";
const char* const kSettingPage = "Setting";
constexpr int kAddressRows = 6;
constexpr int kFolders = 16;

using Labelled = std::pair<const char*, const char*>;  // label, control

// The Setting page in the window's order: the two groups at the top, then the left, middle
// and right columns.
const Labelled kSettingColumns[] = {
    {"LCD hold time", "lcdholdtime"},
    {"contrast", "contrast"},
    {"Date format", "dateformat"},
    {"Auto spacing", "autospace"},
    {"Msg display time", "msgdisptime"},
    {"Alert time", "alerttime"},
    {"Low cell delay", "lowcell"},
    {"Out Range delay", "rangetime"},
    {"Baud rate", "baudrate"},
    {"Data", "polarity"},
    {"Channel freq", "channelfreq"},
    {"MHz@", "channelspace"},
    {"PLL", "pll"},
    {"Serial No.", "serial"},
    {"Urgent call addr", "urgcalladdr"},
    {"Password", "password"},
    {"Urgent call type", "urgcalltype"},
    {"Urgent call mode", "urgcallmode"},
    {"Public folder mode", "pubfoldermode"},
    {"Public call no.", "pubcallno"},
    {"Repeat call check", "repeatcallcheck"},
    {"Repeat call rejection", "repeatcallreject"},
    {"Num Char. Set", "numset"},
    {"Character Set", "language"},
    {"Menu language", "menulanguage"},
    {"", "handprogram"},
    {"", "urgentcall"},
    {"", "unread_alert"},
    {"", "ota"},
    {"", "qsound"},
    {"", "outrangespecial"},
    {"", "lowbatteryspecial"},
    // One caption over several controls: numbered in their order.
    {"Public header (1)", "chineseheader"},
    {"Public header (2)", "engheader"},
    {"Public header (3)", "clearheader"},
    {"BS1", "BS1"},
    {"BS2", "BS2"},
    {"BS3", "BS3"},
    {"Addr check", "addrcheck"},
    {"Data check", "datacheck"},
    {"Firmware version", "firmwareversion"},
    {"Firmware version (sub)", "subversion"},
};

const Labelled kTonePatterns[] = {
    {"A", "tonepatternA"},
    {"B", "tonepatternB"},
    {"C", "tonepatternC"},
    {"D", "tonepatternD"},
    {"Power On", "tonepatternPon"},
    {"Low Cell", "tonepatternLcell"},
    {"Urgent call", "tonepatternUcall"},
};

// Columns of an address row: heading, and the control name around the row's digit.
struct AddressColumn {
  const char* heading;
  const char* prefix;
  const char* suffix;
};
const AddressColumn kAddressColumns[] = {
    {"", "addr", "en"},
    {"PN", "address", ""},
    {"Fm", "frame", ""},
    {"Auto inc", "autoinc", ""},
    {"Msg type", "msgtype", ""},
    {"A Tone", "addr", "formatA"},
    {"B Tone", "addr", "formatB"},
    {"C Tone", "addr", "formatC"},
    {"D Tone", "addr", "formatD"},
};

std::vector<SettingPlace> build() {
  std::vector<SettingPlace> places;
  for (int n = 1; n <= kAddressRows; ++n) {
    const std::string row = std::to_string(n);
    for (const AddressColumn& c : kAddressColumns) {
      const std::string label = *c.heading ? "[" + row + "] " + c.heading : "";
      places.push_back({kAddressPage, "Address", label, c.prefix + row + c.suffix});
    }
  }
  for (int k = 0; k < kFolders; ++k) {
    const std::string number = "[" + std::to_string(k + 1) + "] ";
    const std::string digit = folderDigit(k);
    places.push_back({kAddressPage, "Message Folder", "", "pubboxact" + digit});
    places.push_back({kAddressPage, "Message Folder", number + "Title", "pubbox" + digit});
    places.push_back({kAddressPage, "Message Folder", number + "Length", "pubboxlength" + digit});
  }
  places.push_back({kSettingPage, "Hello Message", "Hello Message", "hellomsg1"});
  for (const auto& [label, name] : kTonePatterns) {
    places.push_back({kSettingPage, "Tone pattern", label, name});
  }
  for (const auto& [label, name] : kSettingColumns)
    places.push_back({kSettingPage, "", label, name});
  return places;
}

}  // namespace

const std::vector<SettingPlace>& settingPlaces() {
  static const std::vector<SettingPlace> places = build();
  return places;
}

}  // namespace ccp::cli
