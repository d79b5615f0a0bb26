#include "cli/settings_view.h"

#include <algorithm>
#include <cstdio>
#include <iomanip>

#include "shell/form.h"

namespace ccp::cli {

namespace {

constexpr std::size_t kMinValueWidth = 12;

std::string valueOf(Control& control) {
  switch (control.kind()) {
    case ControlKind::TextField:
      return static_cast<TextField&>(control).text();
    case ControlKind::ComboBox:
      return static_cast<ComboBox&>(control).text();
    case ControlKind::CheckBox:
      return static_cast<CheckBox&>(control).checked() ? "on" : "off";
    case ControlKind::Label:
      break;
  }
  return {};
}

std::string shown(const ShownSetting& s) {
  const bool quote = s.kind == ControlKind::TextField &&
                     (s.value.empty() || s.value.front() == ' ' || s.value.back() == ' ');
  return quote ? '"' + s.value + '"' : s.value;
}

std::string where(const ShownSetting& s) {
  std::string text = s.place->page + " / ";
  if (!s.place->group.empty() && s.place->group != s.label) text += s.place->group + " / ";
  return text + s.label;
}

std::string jsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + '"';
}

std::string padded(const std::string& text, std::size_t width) {
  return text.size() >= width ? text + ' ' : text + std::string(width - text.size(), ' ');
}

}  // namespace

std::vector<ShownSetting> shownSettings(TForm1& form) {
  std::vector<ShownSetting> settings;
  for (const SettingPlace& place : settingPlaces()) {
    Control& control = *form.findControl(place.name);
    settings.push_back({&place, settingLabel(form, place), control.kind(), valueOf(control)});
  }
  return settings;
}

void printSettings(std::ostream& out, const std::vector<ShownSetting>& settings) {
  std::size_t labelWidth = 0;
  for (const ShownSetting& s : settings) labelWidth = std::max(labelWidth, s.label.size() + 1);
  const std::string* page = nullptr;
  const std::string* group = nullptr;
  for (const ShownSetting& s : settings) {
    if (page == nullptr || *page != s.place->page) {
      page = &s.place->page;
      group = nullptr;
      out << *page << '\n';
    }
    std::string indent = "  ";
    if (!s.place->group.empty()) {
      if (group == nullptr || *group != s.place->group) out << "  " << s.place->group << '\n';
      indent = "    ";
    }
    group = &s.place->group;
    out << indent << padded(s.label, labelWidth) << padded(shown(s), kMinValueWidth) << '('
        << s.place->name << ")\n";
  }
}

void printSettingsJson(std::ostream& out, const std::vector<ShownSetting>& settings) {
  const std::string* page = nullptr;
  out << '{';
  for (const ShownSetting& s : settings) {
    const bool newPage = page == nullptr || *page != s.place->page;
    if (newPage) {
      out << (page == nullptr ? "\n  " : "\n  },\n  ") << jsonString(s.place->page) << ": {";
      page = &s.place->page;
    }
    out << (newPage ? "\n    " : ",\n    ") << jsonString(s.place->name) << ": ";
    if (s.kind == ControlKind::CheckBox) {
      out << (s.value == "on" ? "true" : "false");
    } else {
      out << jsonString(s.value);
    }
  }
  out << (page == nullptr ? "}\n" : "\n  }\n}\n");
}

std::size_t printDifferences(std::ostream& out, const std::vector<ShownSetting>& a,
                             const std::vector<ShownSetting>& b, const std::string& headingA,
                             const std::string& headingB) {
  std::vector<std::size_t> differing;
  std::size_t labelWidth = 0;
  std::size_t valueWidth = std::max(headingA.size(), kMinValueWidth);
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (a[i].value == b[i].value) continue;
    differing.push_back(i);
    labelWidth = std::max(labelWidth, where(a[i]).size());
    valueWidth = std::max(valueWidth, shown(a[i]).size());
  }
  if (differing.empty()) return 0;
  out << padded("", labelWidth + 2) << padded(headingA, valueWidth + 2) << headingB << '\n';
  for (std::size_t i : differing) {
    out << padded(where(a[i]), labelWidth + 2) << padded(shown(a[i]), valueWidth + 2) << shown(b[i])
        << '\n';
  }
  return differing.size();
}

}  // namespace ccp::cli
