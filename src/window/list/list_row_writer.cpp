#include "window/list/list_row_writer.h"

#include <chrono>

#include "commands/error_boxes.h"
#include "commands/list_export.h"
#include "commands/list_row.h"
#include "image/plain_text.h"
#include "shell/form.h"
#include "shell/platform.h"
#include "window/register/register_access.h"

namespace ccp::qt {

namespace {

QString utf8(const std::string& text) {
  return QString::fromStdString(text);
}

// The row's settings typed into the form; false, with why, when the window refused them.
bool typeRowIn(TForm1& form, const ErrorBoxes& boxes, const ListTemplate& loaded,
               const ListColumns& columns, const CsvFields& cells, const std::vector<int>& listRows,
               std::string& why) {
  why = refusalOf(setListRow(form, boxes, loaded, columns, cells, listRows));
  return why.empty();
}

QString outcomeText(const RowOutcome& outcome) {
  switch (outcome.result) {
    case RowResult::Done:
      return QStringLiteral("done");
    case RowResult::NotWritten:
      return QStringLiteral("not written: ") + shown(outcome.line);
    case RowResult::Failed:
      return QStringLiteral("failed: ") + shown(outcome.line);
    case RowResult::Unsettled:
      break;
  }
  return shown(outcome.line);
}

}  // namespace

ListRowWriter::ListRowWriter(TForm1& form, PagerRecords& records, ListInfo list,
                             ListTemplate loaded, std::function<void()> runWrite)
    : form_(form),
      records_(records),
      loaded_(std::move(loaded)),
      columns_(listColumns(listRecordFields(list.header), form)),
      run_(records, std::move(list), records.registerUse().station,
           [] { return std::chrono::system_clock::now(); }),
      runWrite_(std::move(runWrite)) {}

QString ListRowWriter::unavailable() const {
  if (form_.busy()) return QStringLiteral("A command is running: no row was taken");
  if (!form_.menuItem("WriteToPager").enabled()) {
    return QStringLiteral("WR_To_Pager is not available (the log says why): no row was taken");
  }
  if (!records_.registerUse().refused.empty()) return shown(refusalText(records_.registerUse()));
  if (dynamic_cast<const ErrorBoxes*>(&form_.platform()) == nullptr) {
    return QStringLiteral("This window cannot tell its error boxes: no row was taken");
  }
  return {};
}

QString ListRowWriter::writeNext(std::optional<int> preferred) {
  if (const QString why = unavailable(); !why.isEmpty()) return why;
  std::optional<ListRowStatus> row;
  const QString problem = failureOf([&] { row = run_.take(preferred); });
  if (!problem.isEmpty()) return QStringLiteral("No row was taken: ") + problem;
  if (!row) {
    return QStringLiteral(
        "No row is left to this station: the rows not done are being written "
        "at other stations, or failed here");
  }
  const QString said = utf8(rowText(*row, list().rows)) + QStringLiteral(": ");
  const auto& boxes = dynamic_cast<const ErrorBoxes&>(form_.platform());
  const CsvFields cells = listRecordFields(row->entry.cells);
  const std::vector<int> listRows = records_.registerSettings().uniqueRows;
  const auto apply = [&](TForm1& form, std::string& why) {
    return typeRowIn(form, boxes, loaded_, columns_, cells, listRows, why);
  };
  RowOutcome outcome;
  const QString failure = failureOf([&] { outcome = run_.write(form_, *row, apply, runWrite_); });
  if (failure.isEmpty()) return said + outcomeText(outcome);
  // Only typing the row in fails so, before anything is sent: the row goes back, open.
  const QString back = failureOf([&] { run_.putBack(*row, "the write could not be made"); });
  return said + QStringLiteral("not written: ") + failure +
         (back.isEmpty() ? QString() : QStringLiteral("; ") + back);
}

}  // namespace ccp::qt
