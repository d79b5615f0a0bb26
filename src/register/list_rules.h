#pragma once

// How the register keeps a customer's list, without the database: which row a station takes
// next, which ends of a taken row it refuses, what a new version of a list keeps of the one
// before. The rows' writers are judged by the claims' rules (holding_rules.h).

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "register/holding_rules.h"
#include "register/list_types.h"

namespace ccp {

// A row's uses as the register keeps them: "1i2004000 2g8", each its row, "i" for an individual
// capcode or "g" for a group one, and its capcode; "" for none.
std::string usesText(const std::vector<RowUse>& uses);
std::optional<std::vector<RowUse>> parseUses(std::string_view text);

// A row's writer runs, as a claim's does, only while the row is being written.
Liveness rowWriterLiveness(ListRowState state, const KeptWriter& writer, const WriterSigns& signs);

// A station may take the row: open, failed, or left by a writer that ended.
bool mayTake(const ListRowStatus& row);
// Once no row is open: the first of `rows` (in the list's order, their writers judged) that is
// failed or left by a writer that ended, and not among those `tried`.
std::optional<int> rowToRetry(const std::vector<ListRowStatus>& rows, const std::set<int>& tried);

// The rows of a list taken in again that differ from its newest version, by their place: rows
// whose fingerprint is another, rows added and rows removed, in their order.
std::vector<int> changedRows(const std::map<int, std::string>& fingerprintsBefore,
                             const std::vector<ListRowEntry>& now);

// For each row of a new version, the row of the version before that stays done in it: a done row
// with the same fingerprint, its own place first, else the first one left (a row inserted above
// moves the others down, and their pagers are written all the same). Each done row once.
std::vector<std::optional<int>> carriedRows(const std::vector<ListRowStatus>& doneBefore,
                                            const std::vector<ListRowEntry>& now);

// What the register has of the record a row is to be done by.
struct RecordForRow {
  Record record;  // its command and outcome
  // A row that the record made done already, and its list's name.
  std::optional<int> doneRow;
  std::string doneList;
};

// What the register knows when a writer ends a row.
struct RowEndFacts {
  std::string listName;
  ListRowStatus row;
  std::optional<long long> token;      // of the row's writer, while it is being written
  std::optional<RecordForRow> record;  // the end's record, when the register has it
};
// Why the end is refused: the row is no longer the writer's, or it would be done without the
// record of a verified write, or with one that made a row done already. None when it may end so.
std::optional<std::string> rowEndRefusal(const RowEndFacts& facts, const Writer& writer,
                                         const RowEnd& end);

// "row 12 of LIST"
std::string rowName(int row, const std::string& listName);
// The note of a swap's releases and history: "row 12 of LIST swapped: NOTE".
std::string swapNote(int row, const std::string& listName, const std::string& note);

}  // namespace ccp
