#pragma once

// What the pagers of a list share with one another and with the template: a pager on another
// baud rate, channel or polarity than the rest does not hear the pages meant for it. Written all
// the same, and warned of.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "commands/list_columns.h"
#include "commands/list_problem.h"

namespace ccp {

class TForm1;

class ListRadio {
 public:
  // The template's values, read from the form while it shows the template.
  ListRadio(TForm1& form, const ListColumns& columns);

  // The values of the row the form shows now.
  void add(std::size_t line, TForm1& form);
  // A warning for each row whose value differs from most of the list's, and one for the list
  // when most of its rows differ from the template.
  void finish(std::vector<ListProblem>& problems) const;

 private:
  static constexpr std::size_t kShared = 3;
  struct Shared {
    std::string setting;
    std::string column;               // as the list names it, else the setting
    std::vector<std::string> values;  // each value met, the template's first
    std::vector<std::size_t> counts;  // rows with each
  };
  struct Row {
    std::size_t line;
    std::array<std::uint8_t, kShared> value;  // index into values
  };
  std::uint8_t note(Shared& shared, const std::string& value);

  std::array<Shared, kShared> shared_;
  std::vector<Row> rows_;
};

}  // namespace ccp
