#pragma once

// A record as the columns of the programming journal, and back: what an export writes and an
// import reads, so that a journal line and the record of the same command are one record.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "register/register_types.h"

namespace ccp {

// The journal's columns of the record, its time in local time as the journal writes it.
std::vector<std::string> journalFieldsOf(const Record& record);

// The record of a journal line (its fields as read, apostrophes before formulas dropped) kept
// by `station`; nothing when the line is not one the journal writes: too few fields, no time, a
// command other than a read or a write or an outcome it never ends with, a capcode a pager
// cannot hold or of more than seven digits, or a row list that is not one. Then `why`, when given,
// says which. A line of the journal's first columns only names no individual rows, all rows enabled
// and the pager before unknown.
std::optional<Record> recordFromJournal(const std::vector<std::string>& fields,
                                        const std::string& station, std::string* why = nullptr);

// Tells records apart by what they say: the station, the time to the second and the journal's
// first columns. The rows' use (individual, enabled, the pager before) is left out: a journal
// line of an older program does not have it, and is the same record.
std::string recordFingerprint(const Record& record);

// A list of rows as a record's individual_rows and enabled_rows columns, the journal's columns of
// the rows' use and the unique rows of the settings keep it: "1,3" as rows 1 to 6, ascending
// without repeats; nothing when the text is not such a list.
std::optional<std::vector<int>> parseRowList(std::string_view text);
// The rows as such a list; rows out of 1-6 are dropped.
std::string rowListText(const std::vector<int>& rows);

// Seconds since 1970 as the register keeps time, and back.
long long storedTime(WallTime at);
WallTime wallTime(long long stored);

}  // namespace ccp
