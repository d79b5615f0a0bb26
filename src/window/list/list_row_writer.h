#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "commands/list_columns.h"
#include "commands/list_run.h"
#include "commands/list_template.h"

namespace ccp {
class TForm1;
}

namespace ccp::qt {

// A list's rows written in the main window, a row a click: the row taken from the register, its
// settings typed into the window over the template, and Write to pager run as the window runs
// it, so that its input block, progress and error boxes are the window's own.
class ListRowWriter {
 public:
  // `runWrite` runs Write to pager as the window's menu does.
  ListRowWriter(TForm1& form, PagerRecords& records, ListInfo list, ListTemplate loaded,
                std::function<void()> runWrite);

  const ListInfo& list() const { return run_.list(); }
  PagerRecords& records() { return records_; }

  // Takes the next row (`preferred` when it may be taken) and writes it. What became of it, for
  // the user: "row 2 of 40, Ward 3, capcode 2004017: done", "...: failed: why", or why no row
  // was taken.
  QString writeNext(std::optional<int> preferred);

 private:
  // Why no row may be taken now; empty when one may.
  QString unavailable() const;

  TForm1& form_;
  PagerRecords& records_;
  ListTemplate loaded_;
  ListColumns columns_;
  ListRun run_;
  std::function<void()> runWrite_;
};

}  // namespace ccp::qt
