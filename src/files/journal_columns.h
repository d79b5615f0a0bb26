#pragma once

// The columns of the programming journal, "journal.csv", in their order: what the journal
// writes and what an import of it reads.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ccp {

const std::vector<std::string>& journalHeader();

// The journal's first columns, all that a journal had before its rows' use was written ("Individual
// rows", "Enabled rows", "Pager before"): such a journal is still read.
inline constexpr std::size_t kJournalBaseColumns = 15;

// The header of a journal, of this program or of one before it.
bool isJournalHeader(const std::vector<std::string>& fields);

// Every line of the journal begins with its time stamp and a comma: a line that does begins a
// record, whatever a stray quote before it left open. Told from the line's first
// kJournalLineStart bytes.
inline constexpr std::size_t kJournalLineStart = 32;
bool beginsJournalLine(std::string_view lineStart);

}  // namespace ccp
