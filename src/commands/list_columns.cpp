#include "commands/list_columns.h"

#include <map>

#include "commands/setting_names.h"
#include "image/plain_text.h"
#include "shell/form.h"

namespace ccp {

namespace {

// The columns for people: shown, never written.
constexpr const char* kPeopleColumns[] = {"name", "label", "note"};
constexpr const char* kUniqueRowsColumn = "unique-rows";

// A heading as it is compared: lower case, without blanks, '-', '_' and '.'; "Serial No." and
// "serial-no" are one.
std::string headingKey(std::string_view heading) {
  std::string key;
  for (char c : lowered(trimmed(heading))) {
    if (c != ' ' && c != '\t' && c != '-' && c != '_' && c != '.') key += c;
  }
  return key;
}

struct Known {
  ColumnUse use;
  std::string setting;
};

// Every name a column may have, by its key.
std::map<std::string, Known> knownColumns(TForm1& form) {
  std::map<std::string, Known> known;
  for (const SettingPlace& place : settingPlaces()) {
    const Control* control = form.findControl(place.name);
    const bool readOnly = control->kind() == ControlKind::TextField &&
                          static_cast<const TextField*>(control)->readOnly();
    if (!readOnly) known[headingKey(place.name)] = {ColumnUse::Setting, place.name};
  }
  for (const ColumnAlias& alias : columnAliases()) {
    known[headingKey(alias.name)] = {ColumnUse::Setting, alias.setting};
  }
  for (const char* name : kPeopleColumns) known[headingKey(name)] = {ColumnUse::People, {}};
  known[headingKey(kUniqueRowsColumn)] = {ColumnUse::UniqueRows, {}};
  return known;
}

std::string quoted(const std::string& heading) {
  return "'" + heading + "'";
}

}  // namespace

const std::vector<ColumnAlias>& columnAliases() {
  static const std::vector<ColumnAlias> aliases = {
      {"capcode", "address1"},   {"capcode 1", "address1"}, {"capcode 2", "address2"},
      {"capcode 3", "address3"}, {"capcode 4", "address4"}, {"capcode 5", "address5"},
      {"capcode 6", "address6"}, {"serial no.", "serial"},  {"serial number", "serial"},
      {"greeting", "hellomsg1"},
  };
  return aliases;
}

std::optional<std::size_t> ListColumns::of(std::string_view setting) const {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i].use == ColumnUse::Setting && columns[i].setting == setting) return i;
  }
  return std::nullopt;
}

std::optional<std::size_t> ListColumns::labelColumn() const {
  std::optional<std::size_t> name;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i].use != ColumnUse::People) continue;
    const std::string key = headingKey(columns[i].heading);
    if (key == "label") return i;
    if (key == "name" && !name) name = i;
  }
  return name;
}

ListColumns listColumns(const CsvFields& header, TForm1& form) {
  const std::map<std::string, Known> known = knownColumns(form);
  ListColumns list;
  std::map<std::string, std::size_t> taken;  // a setting's (or another column's) first column
  std::size_t unknown = 0;
  for (std::size_t i = 0; i < header.size(); ++i) {
    const std::string& heading = header[i];
    ListColumn& column = list.columns.emplace_back();
    column.heading = heading;
    const auto found = known.find(headingKey(heading));
    if (found == known.end()) {
      ++unknown;
      column.use = ColumnUse::Refused;
      list.problems.push_back(
          {i + 1, heading,
           "column " + quoted(heading) +
               " is no setting, no name a list may give one and no column for people "
               "(name, label, note): ccp set --names lists the settings"});
      continue;
    }
    column.use = found->second.use;
    column.setting = found->second.setting;
    // A column for people may come twice (two notes); what is written may not.
    if (column.use == ColumnUse::People) continue;
    const std::string what = column.use == ColumnUse::Setting ? column.setting : kUniqueRowsColumn;
    const auto [first, isNew] = taken.emplace(what, i);
    if (!isNew) {
      column.use = ColumnUse::Refused;
      list.problems.push_back({i + 1, heading,
                               "column " + quoted(heading) + " gives " + what + " again: column " +
                                   std::to_string(first->second + 1) + " " +
                                   quoted(header[first->second]) + " gives it"});
    }
  }
  if (!header.empty() && unknown == header.size()) {
    // Not one name a list has: this is no header (a list without one, or another file).
    list.problems = {
        {0, {}, "the first line is no header of a list: it names no column a list has"}};
    list.noHeader = true;
    return list;
  }
  if (!list.of(kCapcodeSetting)) {
    list.problems.push_back(
        {0, {}, "no capcode column: a list needs one, named capcode (or address1)"});
  }
  return list;
}

}  // namespace ccp
