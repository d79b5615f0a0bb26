#include "commands/list_radio.h"

#include <algorithm>

#include "commands/setting_text.h"
#include "shell/form.h"

namespace ccp {

namespace {

constexpr const char* kSharedSettings[] = {"baudrate", "channelfreq", "polarity"};
// More values than any list has; past it, a value counts as the last one met.
constexpr std::size_t kMostValues = 255;

std::string valueIn(TForm1& form, const std::string& setting) {
  return shownValue(form, *form.findControl(setting));
}

}  // namespace

ListRadio::ListRadio(TForm1& form, const ListColumns& columns) {
  for (std::size_t i = 0; i < kShared; ++i) {
    Shared& shared = shared_[i];
    shared.setting = kSharedSettings[i];
    const auto column = columns.of(shared.setting);
    shared.column = column ? columns.columns[*column].heading : shared.setting;
    shared.values = {valueIn(form, shared.setting)};
    shared.counts = {0};
  }
}

std::uint8_t ListRadio::note(Shared& shared, const std::string& value) {
  auto found = std::find(shared.values.begin(), shared.values.end(), value);
  if (found == shared.values.end() && shared.values.size() < kMostValues) {
    shared.values.push_back(value);
    shared.counts.push_back(0);
    found = shared.values.end() - 1;
  } else if (found == shared.values.end()) {
    found = shared.values.end() - 1;
  }
  const auto index = static_cast<std::size_t>(found - shared.values.begin());
  ++shared.counts[index];
  return static_cast<std::uint8_t>(index);
}

void ListRadio::add(std::size_t line, TForm1& form) {
  Row row{line, {}};
  for (std::size_t i = 0; i < kShared; ++i) {
    row.value[i] = note(shared_[i], valueIn(form, shared_[i].setting));
  }
  rows_.push_back(row);
}

void ListRadio::finish(std::vector<ListProblem>& problems) const {
  for (std::size_t i = 0; i < kShared; ++i) {
    const Shared& shared = shared_[i];
    // The value most rows have; the template's where as many have another.
    const auto most = static_cast<std::size_t>(
        std::max_element(shared.counts.begin(), shared.counts.end()) - shared.counts.begin());
    const std::string& usual = shared.values[most];
    if (most != 0) {
      problems.push_back({1, shared.column, usual,
                          std::to_string(shared.counts[most]) + " of the list's " +
                              std::to_string(rows_.size()) + " rows have it; the template has " +
                              shared.values[0],
                          true});
    }
    for (const Row& row : rows_) {
      if (row.value[i] == most) continue;
      std::string why = "the rest of the list has " + usual;
      if (row.value[i] != 0 && most != 0) why += ", the template " + shared.values[0];
      problems.push_back({row.line, shared.column, shared.values[row.value[i]], why, true});
    }
  }
}

}  // namespace ccp
