#pragma once

// What the rows of a list give, noted as they stream by: each capcode with the first line that
// gives it as one pager's own (individual) and as a group capcode, each serial number with its
// line; then, all at once, what the register says other pagers hold.

#include <cstddef>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "commands/list_columns.h"
#include "commands/list_problem.h"

namespace ccp {

class ListCapcodes {
 public:
  explicit ListCapcodes(const ListColumns& columns) : columns_(columns) {}

  // The row's uses: an individual capcode that an earlier row gives too, or a capcode that is
  // individual in one row and a group capcode in another, is a problem of this line.
  void add(std::size_t line, const std::vector<RowUse>& uses, std::vector<ListProblem>& problems);
  // The row's serial number (none: empty): the same one on an earlier line is a problem.
  void addSerial(std::size_t line, const std::string& serial, std::vector<ListProblem>& problems);

  // The capcodes the register says are another pager's, by the guard's rules: an individual
  // capcode against any hold, a group capcode against an individual hold. The holds of `own`
  // records are the list's own. Each capcode is said once, at the first line that gives it.
  void checkRegister(const HoldersInTheWay& holders, const std::set<long long>& own, WallTime now,
                     std::vector<ListProblem>& problems) const;

  // The column of the list that gives a row's capcode, or the setting when the template does.
  std::string columnOf(int row) const;

 private:
  struct Seen {
    std::size_t individualLine = 0;  // 0: not yet
    int individualRow = 0;
    std::size_t groupLine = 0;
    int groupRow = 0;
    bool bothSaid = false;
  };

  const ListColumns& columns_;
  std::unordered_map<int, Seen> capcodes_;
  std::unordered_map<std::string, std::size_t> serials_;
};

}  // namespace ccp
