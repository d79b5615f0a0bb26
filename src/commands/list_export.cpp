#include "commands/list_export.h"

#include <sstream>

#include "files/list_csv.h"
#include "files/list_dialect_text.h"
#include "files/time_stamp.h"

namespace ccp {

CsvFields listRecordFields(const std::string& record) {
  std::istringstream in(record);
  CsvReader reader(in);
  const auto line = reader.next(kListRecordLimit);
  return line ? line->fields : CsvFields{};
}

std::optional<std::string> listExportText(const ListInfo& list,
                                          const std::vector<ListRowStatus>& rows, Model model,
                                          std::string& why) {
  const auto dialect = parseListDialectText(list.dialect, model);
  if (!dialect) {
    why = "the list's dialect '" + list.dialect + "' is not one this program writes";
    return std::nullopt;
  }
  std::ostringstream text;
  ListWriter writer(text, *dialect);
  CsvFields header = listRecordFields(list.header);
  for (const char* added : kListExportColumns) header.push_back(added);
  if (!writer.write(header, &why)) return std::nullopt;
  for (const ListRowStatus& row : rows) {
    CsvFields cells = listRecordFields(row.entry.cells);
    const bool taken = row.state != ListRowState::Open;
    cells.push_back(listRowStateName(row.state));
    cells.push_back(row.serialRead);
    cells.push_back(taken ? row.station : "");
    cells.push_back(taken ? shownTimeStamp(localTime(row.at)) : "");
    cells.push_back(row.recordId ? std::to_string(*row.recordId) : "");
    cells.push_back(row.reason);
    if (!writer.write(cells, &why)) {
      why = "row " + std::to_string(row.entry.row) + ": " + why;
      return std::nullopt;
    }
  }
  return text.str();
}

}  // namespace ccp
