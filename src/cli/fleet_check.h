#pragma once

// What the fleet commands share: a list's file checked whole, as `fleet check` shows it.

#include <set>
#include <string>

#include "commands/list_check.h"
#include "commands/list_template.h"
#include "commands/register_connection.h"
#include "register/list_types.h"

namespace ccp::cli {

struct Run;
struct RegisterChoice;

// The list's name in the register: its file's name.
std::string listName(const std::string& path);

struct CheckedList {
  int status = 0;  // the exit status when the list may not be written; 0: it may
  ListTemplate loaded;
  ListEntry entry;
  ListCheckResult result;
};

// Checks the list at `path` against the template of --template, as `fleet check` does; the
// register asked through `connection` (none: not asked). `ownRecords`: the records of the
// list's rows that are done. A template or a list that cannot be read is said at once.
CheckedList checkListFile(Run& run, const RegisterChoice& choice, RegisterConnection* connection,
                          const std::string& path, const std::set<long long>& ownRecords);
// The problems on standard output, a line each, then the summary (with `summarise`, or when
// there are errors).
void showProblems(Run& run, const std::string& path, const ListCheckResult& result, bool summarise);

// Whether a register at the use's location may be asked: not a station's own file that no pager
// command has made yet (said as `none`).
bool registerToAsk(const RegisterUse& use, std::string& none);

}  // namespace ccp::cli
