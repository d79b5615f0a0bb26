#pragma once

// A row of a customer's list as the window writes it: the template shown, then each of the
// row's values typed in as ccp set types them, with the same refusals in the same words.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "commands/error_boxes.h"
#include "commands/list_columns.h"
#include "commands/list_template.h"
#include "register/register_types.h"

namespace ccp {

class TForm1;

// What is wrong with one of a row's cells; `column` counts from 0.
struct CellProblem {
  std::size_t column = 0;
  std::string why;
  bool warning = false;  // written all the same: a value the window corrected
};

struct ListRowSettings {
  // The enabled rows' capcodes, individual or group; not a row whose capcode the window refused
  // (it shows the template's instead).
  std::vector<RowUse> uses;
  std::vector<int> individualRows;  // the row's own unique-rows, else the list's
  // The list's serial number for the pager, as the window shows it without its trailing blanks;
  // empty when the row gives none.
  std::string serial;
  std::string label;  // the label or name column, empty without one
  std::vector<CellProblem> problems;
  std::optional<std::string> twoRows;  // an individual capcode in two rows: the guard's line
  int twoRowsRow = 0;                  // the individual row
  // Capcodes given with fewer than seven digits, padded with zeros as the window pads them (a
  // spreadsheet drops the leading zeros of a column of numbers).
  int paddedCapcodes = 0;

  // The window would not write it as the list means it.
  bool refused() const;
};

// The form shows the template, then the row's cells typed in, in the header's order; an empty
// cell keeps the template's value. A capcode (or serial number) that a spreadsheet turned into
// scientific notation is refused before it is typed. `boxes` counts the error boxes of the
// form's desktop; `listRows` are the individual rows of a row without its own unique-rows.
ListRowSettings setListRow(TForm1& form, const ErrorBoxes& boxes, const ListTemplate& loaded,
                           const ListColumns& columns, const CsvFields& cells,
                           const std::vector<int>& listRows);

// Why the window would not write the row as the list means it, its refusals joined by "; "; empty
// when it would.
std::string refusalOf(const ListRowSettings& settings);

// "2.004E+06", "2,004E+06": a number in scientific notation.
bool scientificNotation(const std::string& text);

}  // namespace ccp
