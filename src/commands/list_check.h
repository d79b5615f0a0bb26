#pragma once

// A customer's list checked whole before its first pager is written: every problem at once, each
// with its line, column, value and why, in the file's order. What the window would refuse, what
// two rows would both give, what the register says another pager holds, and what is no list at
// all; warnings for what is written all the same. The list streams: what is kept of it is a
// small note of each capcode, serial number and row, never its text.

#include <cstddef>
#include <functional>
#include <istream>
#include <set>
#include <string>
#include <vector>

#include "commands/error_boxes.h"
#include "commands/list_problem.h"
#include "commands/list_template.h"
#include "register/list_types.h"
#include "register/register_types.h"

namespace ccp {

class TForm1;

// A row as a dry run shows it: what it would write that differs from the template.
struct RowPreview {
  std::size_t line = 0;
  int row = 0;  // 1, 2, ... in the list's order
  std::string label;
  std::vector<std::string> changes;  // "address1: 0000008 -> 2004000", in the window's order
};

struct ListCheckRequest {
  std::string name;                // the list's file name, as the register's entry names it
  std::vector<int> uniqueRows;     // the individual rows of a row without its own; empty: row 1
  HoldersInTheWay holders;         // none: the register is not asked
  std::set<long long> ownRecords;  // the records of the list's own done rows: not in its way
  std::function<WallTime()> now = [] { return WallTime::clock::now(); };
  std::function<void(const RowPreview&)> preview;  // a dry run: each row as it is checked
  ListEntry* entry = nullptr;  // filled with the list as the register takes it in, when given
};

struct ListCheckResult {
  std::vector<ListProblem> problems;  // in the file's order
  std::size_t rows = 0;               // the pagers the list holds
  bool registerAsked = false;
  std::size_t errors() const;
  std::size_t warnings() const;
};

// Checks the list on `form` (a window no one sees, whose error boxes `boxes` counts), each row
// as the window writes it: the template shown, the row's values typed in.
ListCheckResult checkList(std::istream& list, TForm1& form, const ErrorBoxes& boxes,
                          const ListTemplate& loaded, const ListCheckRequest& request);

}  // namespace ccp
