#pragma once

// The columns of a customer's list of pagers, from its header. A column is a setting, named as
// ccp set names it (any case, blanks, '-', '_' and '.' left out), or by one of a few names a
// customer writes ("Capcode", "Capcode 2", "Serial No."); a column for people (name, label, note),
// kept and shown but never written; or the pager's individual rows (unique-rows). Any other
// column is refused by name: a column a list means to write is never left out.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/csv_fields.h"

namespace ccp {

class TForm1;

enum class ColumnUse {
  Setting,
  People,
  UniqueRows,
  Refused,  // no column a list has, or one that gives what another column gives already
};

struct ListColumn {
  std::string heading;  // as the header has it
  ColumnUse use = ColumnUse::People;
  std::string setting;  // the control's name, for a setting
};

// Why a column of the header cannot be taken; `column` counts from 1, 0 for the header as a
// whole.
struct HeaderProblem {
  std::size_t column = 0;
  std::string heading;
  std::string why;
};

struct ListColumns {
  std::vector<ListColumn> columns;  // one for each of the header's
  // Columns refused, a column twice, the capcode column missing: no row of the list can be
  // written.
  std::vector<HeaderProblem> problems;
  // Not one of the first line's names is a column a list has: it is no header, and its rows
  // mean nothing.
  bool noHeader = false;

  // The column of the setting, if the list has one.
  std::optional<std::size_t> of(std::string_view setting) const;
  // Where the pager's label comes from: the label column, else the name column.
  std::optional<std::size_t> labelColumn() const;
};

// The setting that must have a column: the first capcode, the pager's own.
inline constexpr const char* kCapcodeSetting = "address1";

// The columns the header names; what set takes is read from the form (its read-only fields are
// no setting).
ListColumns listColumns(const CsvFields& header, TForm1& form);

// The names a customer may give a column instead of the setting's: "capcode 2" for address2.
struct ColumnAlias {
  const char* name;
  const char* setting;
};
const std::vector<ColumnAlias>& columnAliases();

}  // namespace ccp
