#include "cli/settings_view.h"

#include <algorithm>
#include <iomanip>
#include <nlohmann/json.hpp>

#include "cli/terminal_text.h"
#include "image/pager_charset.h"
#include "shell/form.h"

namespace ccp::cli {

namespace {

constexpr std::size_t kMinValueWidth = 12;
constexpr int kJsonIndent = 2;

std::string shown(const ShownSetting& s) {
  return printedValue(s.kind, s.value);
}

std::string where(const ShownSetting& s) {
  std::string text = s.place->page + " / ";
  if (!s.place->group.empty() && s.place->group != s.label) text += s.place->group + " / ";
  return text + s.label;
}

std::string padded(const std::string& text, std::size_t width) {
  const std::size_t used = columns(text);
  return used >= width ? text + ' ' : text + std::string(width - used, ' ');
}

}  // namespace

std::vector<ShownSetting> shownSettings(TForm1& form) {
  std::vector<ShownSetting> settings;
  for (const SettingPlace& place : settingPlaces()) {
    const Control& control = *form.findControl(place.name);
    settings.push_back({&place, settingLabel(form, place), control.kind(),
                        shownValue(form, control), !control.visible()});
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
        << s.place->name << (s.hidden ? ") hidden\n" : ")\n");
  }
}

void printSettingsJson(std::ostream& out, const std::vector<ShownSetting>& settings) {
  // In the window's order, pages and settings alike.
  nlohmann::ordered_json pages = nlohmann::ordered_json::object();
  for (const ShownSetting& s : settings) {
    auto& value = pages[s.place->page][s.place->name];
    if (s.kind == ControlKind::CheckBox) {
      value = s.value == "on";
    } else {
      value = s.value;
    }
  }
  // In ASCII: every control character, DEL and C1 included, is a JSON escape, so none reaches
  // a terminal raw.
  out << pages.dump(kJsonIndent, ' ', true) << '\n';
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
    valueWidth = std::max(valueWidth, columns(shown(a[i])));
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
