#pragma once

// A customer's list as File > Open list... takes it: checked whole on a window no one sees, as
// ccp fleet check checks it, against the register the window keeps its records in (only read),
// then taken into that register.

#include <string>

#include "commands/list_check.h"
#include "commands/list_template.h"
#include "commands/pager_records.h"
#include "image/build_config.h"
#include "register/list_types.h"

namespace ccp::qt {

struct CheckedListFiles {
  // Why nothing could be checked: the template did not load, the list could not be read, the
  // window keeps no register or its settings stop the pager commands. Empty when it was checked.
  std::string problem;
  ListCheckResult result;
  ListTemplate loaded;
  ListEntry entry;  // the list as the register takes it in

  bool accepted() const { return problem.empty() && result.errors() == 0; }
};

// The list's name in the register: its file's name.
std::string listFileName(const std::string& path);

// Checks the list at `listPath` with the template at `templatePath`. The list's own done rows
// (of the version the register has) are no other pager's.
CheckedListFiles checkListFiles(const std::string& listPath, const std::string& templatePath,
                                const BuildConfig& config, PagerRecords& records);

// "ward.csv: 120 pagers, 3 errors, 2 warnings: nothing may be written", as ccp fleet check ends.
std::string checkSummary(const std::string& name, const ListCheckResult& result);

// Takes the checked list into the register as this station; `newVersion` takes a list changed
// since it was taken in as a new version. RegisterError when the register cannot.
ListTaking takeListIn(PagerRecords& records, const ListEntry& entry, bool newVersion);

}  // namespace ccp::qt
