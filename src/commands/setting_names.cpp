#include "commands/setting_names.h"

#include <map>
#include <string_view>

#include "image/layout.h"
#include "shell/form.h"
#include "shell/form_controls.h"
#include "shell/page_labels.h"

namespace ccp {

namespace {

// Several controls under one caption: numbered in their order.
const std::map<std::string_view, const char*> kNumbers = {
    {"chineseheader", " (1)"},
    {"engheader", " (2)"},
    {"clearheader", " (3)"},
    {"BS1", "1"},
    {"BS2", "2"},
    {"BS3", "3"},
    {"subversion", " (sub)"},
};

std::string numberOf(std::string_view name) {
  const auto found = kNumbers.find(name);
  return found == kNumbers.end() ? "" : found->second;
}

void addAddressPage(std::vector<SettingPlace>& places) {
  for (int n = 1; n <= kAddressCount; ++n) {
    const std::string row = std::to_string(n);
    for (const pages::AddressColumn& c : pages::kAddressColumns) {
      const std::string caption = *c.heading ? "[" + row + "] " + c.heading : "";
      places.push_back(
          {pages::kAddressPage, pages::kAddressGroup, caption, "", pages::addressControl(c, n)});
    }
  }
  for (int k = 0; k < pages::kFolders; ++k) {
    const std::string number = "[" + std::to_string(k + 1) + "] ";
    for (const pages::FolderColumn& c : pages::kFolderColumns) {
      const std::string caption = *c.heading ? number + c.heading : "";
      places.push_back(
          {pages::kAddressPage, pages::kFolderGroup, caption, "", c.prefix + folderDigit(k)});
    }
  }
}

// Each control is labelled by the caption last before it: the row's label or one in the row.
void addRow(std::vector<SettingPlace>& places, const pages::PageRow& row) {
  std::string caption = row.label;
  for (const pages::RowItem& item : row.items) {
    if (item.caption || pages::isModelLabel(item.text)) {
      caption = item.text;
    } else {
      places.push_back({pages::kSettingPage, "", caption, numberOf(item.text), item.text});
    }
  }
}

void addSettingPage(std::vector<SettingPlace>& places) {
  places.push_back(
      {pages::kSettingPage, pages::kGreetingGroup, pages::kGreetingGroup, "", pages::kGreeting});
  for (const pages::Captioned& pattern : pages::kTonePatterns) {
    places.push_back({pages::kSettingPage, pages::kToneGroup, pattern.caption, "", pattern.name});
  }
  for (const pages::PageRow& row : pages::settingLeftRows()) addRow(places, row);
  for (const pages::PageRow& row : pages::settingMiddleRows()) addRow(places, row);
  for (const char* name : pages::settingChecks())
    places.push_back({pages::kSettingPage, "", "", "", name});
  for (const pages::PageRow& row : pages::settingServiceRows()) addRow(places, row);
  addRow(places, pages::settingFirmwareRow());
}

std::vector<SettingPlace> build() {
  std::vector<SettingPlace> places;
  addAddressPage(places);
  addSettingPage(places);
  return places;
}

}  // namespace

const std::vector<SettingPlace>& settingPlaces() {
  static const std::vector<SettingPlace> places = build();
  return places;
}

std::string settingLabel(TForm1& form, const SettingPlace& place) {
  if (place.caption.empty()) return form.checkBox(place.name).caption();
  if (pages::isModelLabel(place.caption)) return form.label(place.caption).caption() + place.number;
  return place.caption + place.number;
}

}  // namespace ccp
