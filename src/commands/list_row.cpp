#include "commands/list_row.h"

#include <algorithm>
#include <cctype>

#include "commands/capcode_guard.h"
#include "commands/holder_lines.h"
#include "commands/setting_edit.h"
#include "commands/setting_text.h"
#include "image/capcode.h"
#include "image/plain_text.h"
#include "register/pager_register.h"
#include "register/record_columns.h"
#include "shell/form.h"

namespace ccp {

namespace {

constexpr const char* kSerialSetting = "serial";
constexpr const char* kFrequencySetting = "channelfreq";

bool isCapcodeSetting(const std::string& name) {
  return name.size() == 8 && name.starts_with("address") && name[7] >= '1' && name[7] <= '6';
}

bool allDigits(std::string_view text) {
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return !text.empty();
}

std::string withoutTrailingBlanks(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

// What the window shows of the setting, as the value given: padded as the window pads a fixed
// width text or a capcode, which says nothing the list should hear of row by row.
bool onlyPadded(const std::string& setting, const std::string& given, const std::string& shown) {
  if (withoutTrailingBlanks(shown) == given) return true;
  if (setting == kFrequencySetting && shown.starts_with(given)) {
    // "457" shown as "457.00000": the point and the zeros a frequency is written with.
    const std::string rest = shown.substr(given.size());
    const bool point = given.find('.') != std::string::npos;
    return rest.find_first_not_of(point ? "0" : ".0") == std::string::npos &&
           (point || rest.empty() || rest.front() == '.');
  }
  return isCapcodeSetting(setting) && allDigits(given) && shown.size() > given.size() &&
         shown.ends_with(given) && shown.find_first_not_of('0') >= shown.size() - given.size();
}

// A value typed into its setting; a refusal, or a correction the window made, said of its cell.
// False when the window refused it.
bool typeCell(TForm1& form, const ErrorBoxes& boxes, const ListColumn& column, std::size_t index,
              const std::string& cell, ListRowSettings& row) {
  const std::string value(trimmed(cell));
  if (value.empty()) return true;  // the template's value stays
  const bool capcode = isCapcodeSetting(column.setting);
  if ((capcode || column.setting == kSerialSetting) && scientificNotation(value)) {
    row.problems.push_back(
        {index,
         "a number in scientific notation: the spreadsheet took the column for numbers; format "
         "it as text and type the values again"});
    return false;
  }
  const Assignment assignment{column.setting, value};
  if (const auto why = changeAsUser(form, boxes, assignment)) {
    row.problems.push_back({index, *why});
    return false;
  }
  const std::string shown = shownValue(form, *form.findControl(column.setting));
  if (column.setting == kSerialSetting) row.serial = withoutTrailingBlanks(shown);
  if (onlyPadded(column.setting, value, shown)) {
    if (capcode && shown != value) ++row.paddedCapcodes;
    return true;
  }
  if (const auto line = correction(form, assignment)) row.problems.push_back({index, *line, true});
  return true;
}

}  // namespace

bool ListRowSettings::refused() const {
  if (twoRows) return true;
  for (const CellProblem& problem : problems) {
    if (!problem.warning) return true;
  }
  return false;
}

bool scientificNotation(const std::string& text) {
  std::size_t at = 0;
  const auto digits = [&] {
    const std::size_t from = at;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) ++at;
    return at > from;
  };
  if (!digits()) return false;
  if (at < text.size() && (text[at] == '.' || text[at] == ',')) {
    ++at;
    digits();
  }
  if (at >= text.size() || (text[at] != 'E' && text[at] != 'e')) return false;
  ++at;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  return digits() && at == text.size();
}

ListRowSettings setListRow(TForm1& form, const ErrorBoxes& boxes, const ListTemplate& loaded,
                           const ListColumns& columns, const CsvFields& cells,
                           const std::vector<int>& listRows) {
  showTemplate(form, loaded);
  ListRowSettings row;
  row.individualRows = listRows.empty() ? std::vector<int>{1} : listRows;
  const std::optional<std::size_t> labelColumn = columns.labelColumn();
  std::vector<int> refusedRows;  // whose capcode the window did not take
  for (std::size_t i = 0; i < columns.columns.size(); ++i) {
    const ListColumn& column = columns.columns[i];
    const std::string cell = i < cells.size() ? cells[i] : std::string();
    switch (column.use) {
      case ColumnUse::People:
        if (labelColumn == i) row.label = trimmed(cell);
        break;
      case ColumnUse::UniqueRows:
        if (!trimmed(cell).empty()) {
          const auto rows = parseRowList(cell);
          if (rows) {
            row.individualRows = *rows;
          } else {
            row.problems.push_back({i, "takes rows 1 to 6, such as 1,3"});
          }
        }
        break;
      case ColumnUse::Setting:
        if (!typeCell(form, boxes, column, i, cell, row) && isCapcodeSetting(column.setting)) {
          refusedRows.push_back(column.setting.back() - '0');
        }
        break;
      case ColumnUse::Refused:
        break;
    }
  }
  const PagerRows rows = formRows(form);
  row.uses = rowUses(rows, row.individualRows);
  std::erase_if(row.uses, [&refusedRows](const RowUse& use) {
    return std::find(refusedRows.begin(), refusedRows.end(), use.row) != refusedRows.end();
  });
  int otherRow = 0;
  if (const auto use = individualTwice(rows, row.uses, otherRow)) {
    row.twoRows = twoRowsLine(use->capcode, use->row, otherRow);
    row.twoRowsRow = use->row;
  }
  return row;
}

std::string refusalOf(const ListRowSettings& settings) {
  if (!settings.refused()) return {};
  std::vector<std::string> whys;
  for (const CellProblem& p : settings.problems) {
    if (!p.warning) whys.push_back(p.why);
  }
  if (settings.twoRows) whys.push_back(*settings.twoRows);
  return joined(whys, "; ");
}

}  // namespace ccp
