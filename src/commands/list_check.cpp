#include "commands/list_check.h"

#include <algorithm>
#include <optional>
#include <sstream>

#include "commands/list_capcodes.h"
#include "commands/list_columns.h"
#include "commands/list_fingerprint.h"
#include "commands/list_radio.h"
#include "commands/list_row.h"
#include "commands/setting_names.h"
#include "commands/setting_text.h"
#include "files/csv_fields.h"
#include "files/journal_columns.h"
#include "files/list_csv.h"
#include "files/list_dialect_text.h"
#include "register/pager_register.h"
#include "register/record_columns.h"
#include "register/register_error.h"
#include "shell/form.h"

namespace ccp {

namespace {

// A record as the register keeps a row's cells or the header: each field as it stands (a
// formula's text too), quoted where CSV needs it, without its line break.
std::string recordText(const CsvFields& fields) {
  std::ostringstream out;
  ListWriter(out, ListDialect{}).write(fields);
  std::string text = out.str();
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

bool blank(const CsvFields& fields) {
  return std::all_of(fields.begin(), fields.end(),
                     [](const std::string& f) { return f.find_first_not_of(" \t") == f.npos; });
}

// The settings a dry run compares, as the template shows them.
struct Shown {
  std::string name;
  std::string value;
};
std::vector<Shown> shownNow(TForm1& form) {
  std::vector<Shown> shown;
  for (const SettingPlace& place : settingPlaces()) {
    const Control& control = *form.findControl(place.name);
    // What the window works out by itself, as a capcode's frame, is said by what it comes from.
    if (control.kind() == ControlKind::TextField &&
        static_cast<const TextField&>(control).readOnly()) {
      continue;
    }
    shown.push_back({place.name, shownValue(form, control)});
  }
  return shown;
}

std::vector<std::string> changesFrom(TForm1& form, const std::vector<Shown>& before) {
  std::vector<std::string> changes;
  for (const Shown& was : before) {
    const Control& control = *form.findControl(was.name);
    const std::string now = shownValue(form, control);
    if (now == was.value) continue;
    changes.push_back(was.name + ": " + printedValue(control.kind(), was.value) + " -> " +
                      printedValue(control.kind(), now));
  }
  return changes;
}

// One row checked: the window's refusals and corrections of its cells, the row's capcodes.
class RowCheck {
 public:
  RowCheck(TForm1& form, const ErrorBoxes& boxes, const ListTemplate& loaded,
           const ListColumns& columns, const ListCheckRequest& request,
           std::vector<ListProblem>& problems)
      : form_(form),
        boxes_(boxes),
        loaded_(loaded),
        columns_(columns),
        request_(request),
        problems_(problems),
        capcodes_(columns),
        radio_(form, columns) {
    Fingerprint tmpl;
    tmpl.add(templateBytes(loaded));
    templateDigest_ = tmpl.hex();
    if (request.preview) before_ = shownNow(form);
  }

  void check(const ListRow& row);
  void finish(ListCheckResult& result);

 private:
  void said(const ListRowSettings& settings, const ListRow& row);
  std::string rowFingerprint(const ListRowSettings& settings);

  TForm1& form_;
  const ErrorBoxes& boxes_;
  const ListTemplate& loaded_;
  const ListColumns& columns_;
  const ListCheckRequest& request_;
  std::vector<ListProblem>& problems_;
  ListCapcodes capcodes_;
  ListRadio radio_;
  std::string templateDigest_;
  std::vector<Shown> before_;
  int rows_ = 0;
  int paddedCapcodes_ = 0;
};

void RowCheck::check(const ListRow& row) {
  const std::size_t wanted = columns_.columns.size();
  if (row.fields.size() != wanted) {
    problems_.push_back({row.line,
                         {},
                         {},
                         std::to_string(row.fields.size()) +
                             (row.fields.size() == 1 ? " field" : " fields") +
                             " where the header has " + std::to_string(wanted)});
    return;
  }
  ++rows_;
  const ListRowSettings settings =
      setListRow(form_, boxes_, loaded_, columns_, row.fields, request_.uniqueRows);
  said(settings, row);
  paddedCapcodes_ += settings.paddedCapcodes;
  capcodes_.add(row.line, settings.uses, problems_);
  capcodes_.addSerial(row.line, settings.serial, problems_);
  radio_.add(row.line, form_);
  if (request_.preview)
    request_.preview({row.line, rows_, settings.label, changesFrom(form_, before_)});
  if (request_.entry != nullptr) {
    request_.entry->rows.push_back({rows_, row.line, settings.label, settings.uses, settings.serial,
                                    recordText(row.fields), rowFingerprint(settings)});
  }
}

void RowCheck::said(const ListRowSettings& settings, const ListRow& row) {
  for (const CellProblem& problem : settings.problems) {
    problems_.push_back({row.line, columns_.columns[problem.column].heading,
                         row.fields[problem.column], problem.why, problem.warning});
  }
  if (settings.twoRows) {
    problems_.push_back({row.line, capcodes_.columnOf(settings.twoRowsRow), {}, *settings.twoRows});
  }
}

// What the row writes: the template, then each setting of the list as the window shows it once
// typed, and the rows' use.
std::string RowCheck::rowFingerprint(const ListRowSettings& settings) {
  Fingerprint digest;
  digest.add(templateDigest_);
  for (const ListColumn& column : columns_.columns) {
    if (column.use != ColumnUse::Setting) continue;
    digest.add(column.setting);
    digest.add(shownValue(form_, *form_.findControl(column.setting)));
  }
  for (const RowUse& use : settings.uses) {
    digest.add(std::to_string(use.row) + (use.individual ? "i" : "g") +
               std::to_string(use.capcode));
  }
  return digest.hex();
}

void RowCheck::finish(ListCheckResult& result) {
  result.rows = static_cast<std::size_t>(rows_);
  if (rows_ == 0) problems_.push_back({0, {}, {}, "no pager in the list: it has no rows"});
  if (paddedCapcodes_ > 0) {
    problems_.push_back(
        {1,
         {},
         {},
         std::to_string(paddedCapcodes_) + (paddedCapcodes_ == 1 ? " capcode" : " capcodes") +
             " of fewer than seven digits, padded with leading zeros as the window pads them (a "
             "spreadsheet drops them from a column of numbers: format it as text)",
         true});
  }
  radio_.finish(problems_);
  if (!request_.holders) return;
  try {
    capcodes_.checkRegister(request_.holders, request_.ownRecords, request_.now(), problems_);
    result.registerAsked = true;
  } catch (const RegisterError& error) {
    problems_.push_back(
        {0, {}, {}, std::string("capcodes could not be checked in the register: ") + error.what()});
  }
}

void headerProblems(const ListColumns& columns, std::vector<ListProblem>& problems) {
  for (const HeaderProblem& p : columns.problems) {
    problems.push_back({p.column == 0 ? 0 : std::size_t{1}, p.heading, {}, p.why});
  }
}

}  // namespace

std::size_t ListCheckResult::errors() const {
  return static_cast<std::size_t>(std::count_if(problems.begin(), problems.end(),
                                                [](const ListProblem& p) { return !p.warning; }));
}

std::size_t ListCheckResult::warnings() const {
  return problems.size() - errors();
}

ListCheckResult checkList(std::istream& list, TForm1& form, const ErrorBoxes& boxes,
                          const ListTemplate& loaded, const ListCheckRequest& request) {
  ListCheckResult result;
  std::vector<ListProblem>& problems = result.problems;
  std::optional<ListReader> reader;
  try {
    reader.emplace(list, form.config().model);
  } catch (const NotAList& no) {
    problems.push_back({no.line(), {}, {}, std::string("not a list of pagers: ") + no.what()});
    return result;
  }
  if (isJournalHeader(reader->header())) {
    problems.push_back(
        {1,
         {},
         {},
         "records of this program (a journal, or the register's export), not a list of pagers"});
    return result;
  }
  ListColumns columns = listColumns(reader->header(), form);
  headerProblems(columns, problems);
  if (columns.noHeader) return result;
  Fingerprint listDigest;
  listDigest.add(templateBytes(loaded));
  listDigest.add(rowListText(request.uniqueRows));
  for (const std::string& heading : reader->header()) listDigest.add(heading);
  // What the rows are compared with: the template as the window shows it.
  showTemplate(form, loaded);
  RowCheck rows(form, boxes, loaded, columns, request, problems);
  try {
    while (std::optional<ListRow> row = reader->next()) {
      if (!row->refused.empty()) {
        problems.push_back({row->line, {}, {}, row->refused});
        continue;
      }
      if (blank(row->fields)) continue;
      listDigest.add(std::to_string(row->fields.size()));
      for (const std::string& field : row->fields) listDigest.add(field);
      rows.check(*row);
    }
  } catch (const NotAList& no) {
    problems.push_back({no.line(), {}, {}, std::string("not a list of pagers: ") + no.what()});
  }
  rows.finish(result);
  if (request.entry != nullptr) {
    ListEntry& entry = *request.entry;
    entry.name = request.name;
    entry.fingerprint = listDigest.hex();
    entry.header = recordText(reader->header());
    entry.dialect = listDialectText(reader->dialect());
  }
  std::stable_sort(problems.begin(), problems.end(),
                   [](const ListProblem& a, const ListProblem& b) { return a.line < b.line; });
  return result;
}

}  // namespace ccp
