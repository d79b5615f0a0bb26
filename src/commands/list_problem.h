#pragma once

// What is wrong with a customer's list, as its check says it; and how the check asks the
// register which of its capcodes other pagers hold.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "register/register_types.h"

namespace ccp {

struct ListProblem {
  std::size_t line = 0;  // the header is line 1; 0: the file as a whole
  std::string column;    // as the header names it, or the setting; empty: none
  std::string value;     // as the cell has it, or the capcode in question
  std::string why;
  bool warning = false;  // written all the same
};

// The holds in the way of many capcodes (PagerRegister::holdersInTheWay), read only; a
// RegisterError when the register cannot be asked.
using HoldersInTheWay = std::function<std::vector<Holder>(const std::vector<RowUse>&)>;

}  // namespace ccp
