#pragma once

// A customer's list as the register keeps it: one pager a row, each row open, being written,
// done by a verified write, or failed; so that the stations of a line work one list together,
// each row once, and the customer gets the list back with what each pager got.

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "register/register_types.h"

namespace ccp {

enum class ListRowState {
  Open,     // no pager has it yet (or its pager was swapped)
  Writing,  // a station took it and writes its pager now (or did, and ended: see writer)
  Done,     // a verified write gave it to a pager; never done twice
  Failed,   // its last write failed, or its capcode was taken; why, and how many times
};
const char* listRowStateName(ListRowState state);  // "open", "writing", "done", "failed"
ListRowState listRowStateNamed(const std::string& name);

// One row of a list, as it was taken in.
struct ListRowEntry {
  int row = 0;               // 1, 2, ... in the list's order
  std::size_t line = 0;      // where it begins in the file: the header is line 1
  std::string label;         // what people call the pager (the list's name or label column)
  std::vector<RowUse> uses;  // the capcodes the row gives, in their rows, individual or group
  std::string serial;        // the list's serial number for the pager; empty when it has none
  std::string cells;         // the row's fields as the customer wrote them, one CSV record (UTF-8)
  std::string fingerprint;   // of what the row writes: tells a row that changed
  bool operator==(const ListRowEntry&) const = default;
};

// A list to take in.
struct ListEntry {
  std::string name;         // the list's file name, as stations name it
  std::string fingerprint;  // of its content and its template: the same list, or another
  std::string header;       // the customer's header as one CSV record (UTF-8)
  std::string dialect;      // how the file was written, as the list's reader says it
  std::vector<ListRowEntry> rows;
};

// A list of the register.
struct ListInfo {
  long long id = 0;
  std::string name;
  std::string fingerprint;
  int version = 1;  // a list taken in again with other content is a new version
  std::string header;
  std::string dialect;
  int rows = 0;
  WallTime takenAt{};
  std::string station;  // that took it in
};

// What taking a list in came to.
struct ListTaking {
  std::optional<ListInfo> list;  // the list, new or found; none when refused
  bool added = false;            // it is new (or a new version) now
  // Refused: a list of that name with other content, and the rows that changed (added, removed
  // or other), in their order.
  std::vector<int> changedRows;
  // Refused as a new version: rows of the version before that stations are writing now.
  std::vector<int> writingRows{};
};

// A row as the register knows it now.
struct ListRowStatus {
  long long listId = 0;
  ListRowEntry entry;
  ListRowState state = ListRowState::Open;
  std::string station;  // that took it, did it or failed it
  WallTime at{};        // when it took its state
  // While it is being written: its writer, and whether it still runs (as a claim's writer).
  std::string writerHost;
  long long writerPid = 0;
  Liveness writer = Liveness::Ended;
  std::optional<long long> recordId;  // done: the verified write's record; failed: the failed one's
  std::string serialRead;             // done: the serial number the pager had
  std::string reason;                 // failed: why
  int attempts = 0;                   // writes of it that failed
};

// How a taken row ended.
struct RowEnd {
  ListRowState state = ListRowState::Open;  // Done, Failed, or Open (skipped, nothing sent)
  std::optional<long long> recordId;        // Done: required, a verified write's record
  std::string serialRead;
  // Failed: why ("Capcode 2004017 was written on ... at station-2"); Open: why it was skipped,
  // if it was (its history says "skipped" then, else "opened").
  std::string reason;
};

// A line of a row's history.
struct ListRowEvent {
  long long id = 0;
  std::string event;  // "taken", "done", "failed", "opened", "skipped", "swapped"
  std::string station;
  WallTime at{};
  std::optional<long long> recordId;  // the record it names: done, failed, swapped (the old one)
  std::string note;
};

}  // namespace ccp
