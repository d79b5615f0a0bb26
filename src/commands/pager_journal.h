#pragma once

// The programming journal: one CSV line for every Read from pager and Write to pager, so a
// batch of pagers can be traced afterwards, pager by pager.

#include <optional>
#include <string>
#include <vector>

#include "files/journal_columns.h"
#include "files/time_stamp.h"
#include "image/build_config.h"
#include "image/pager_identity.h"
#include "register/register_types.h"

namespace ccp {

inline constexpr const char* kJournalFileName = "journal.csv";

// The journal of the data folder.
std::string journalPathIn(const std::string& dataFolder);

struct JournalLine {
  WallTime at{};
  BuildConfig config;
  std::string port;                    // as portLabel() shows it
  std::string command;                 // "read" or "write"
  std::string outcome;                 // the command's last log line, or the error that ended it
  std::optional<PagerIdentity> pager;  // what was read or sent, when the command got that far
  std::string backupFile;
  std::vector<int> individualRows = {};  // the station's individual rows, ascending
  // A write that read the whole pager first: what the pager held before it.
  std::optional<PagerIdentity> pagerBefore = {};
};

// A pager's capcodes and enabled rows as the register takes them.
PagerRows pagerRowsOf(const PagerIdentity& pager);

// The command as the register keeps it, made by `station`; the journal's line is its columns,
// so a line that fell back to the journal is the same record once imported.
Record journalRecord(const JournalLine& line, const std::string& station);
std::vector<std::string> journalFields(const JournalLine& line);

}  // namespace ccp
